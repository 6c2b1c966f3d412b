#include "control/persisted_properties.h"

#include <array>

namespace vyn {
namespace {

void PutWord(BYTE* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out[i] = static_cast<BYTE>(value >> (8 * i));
}

std::uint32_t GetWord(const BYTE* in) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value |= std::uint32_t{in[i]} << (8 * i);
  return value;
}

}  // namespace

Result<void> SaveProperties(IStream& stream, const PersistedProperties& properties) {
  std::array<BYTE, kPersistedSize> bytes{};
  PutWord(&bytes[0], kPersistedVersion);
  PutWord(&bytes[4], static_cast<std::uint32_t>(properties.jitter_correction));
  PutWord(&bytes[8], static_cast<std::uint32_t>(properties.overwrite_prompt));
  ULONG written = 0;
  HRESULT hr = stream.Write(bytes.data(), kPersistedSize, &written);
  if (FAILED(hr))
    return Error{hr, "cannot write the properties"};
  if (written != kPersistedSize)
    return Error{STG_E_MEDIUMFULL, "the properties did not fit"};
  return Ok();
}

Result<PersistedProperties> LoadProperties(IStream& stream) {
  std::array<BYTE, kPersistedSize> bytes{};
  ULONG read = 0;
  HRESULT hr = stream.Read(bytes.data(), 4, &read);
  if (FAILED(hr))
    return Error{hr, "cannot read the version"};
  if (read != 4)
    return Error{E_FAIL, "no version word"};
  if (GetWord(&bytes[0]) > kPersistedVersion)
    return Error{E_FAIL, "saved by a newer version"};
  hr = stream.Read(&bytes[4], kPersistedSize - 4, &read);
  if (FAILED(hr))
    return Error{hr, "cannot read the properties"};
  // A short stream would leave the fields half read; refuse it whole.
  if (read != kPersistedSize - 4)
    return Error{E_FAIL, "the properties end early"};
  PersistedProperties properties;
  properties.jitter_correction = static_cast<LONG>(GetWord(&bytes[4]));
  properties.overwrite_prompt = static_cast<LONG>(GetWord(&bytes[8]));
  return properties;
}

}  // namespace vyn
