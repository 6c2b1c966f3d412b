// Saving and loading the control's two persistent properties, through a
// stream or through the "Contents" stream of a storage.
#include "control/vyn_cd_ripper.h"

#include "control/class_ids.h"

namespace vyn {

HRESULT VynCDRipper::GetClassID(CLSID* clsid) {
  if (!clsid)
    return E_POINTER;
  *clsid = CLSID_VynCDRipper;
  return S_OK;
}

Result<void> VynCDRipper::LoadFrom(IStream& stream) {
  auto loaded = LoadProperties(stream);
  if (!loaded)
    return loaded.error();
  jitter_correction_.store(loaded->jitter_correction);
  overwrite_prompt_.store(loaded->overwrite_prompt);
  return Ok();
}

HRESULT VynCDRipper::Load(IStream* stream) {
  if (!stream)
    return E_POINTER;
  return LoadFrom(*stream).code();
}

HRESULT VynCDRipper::Save(IStream* stream, BOOL) {
  if (!stream)
    return E_POINTER;
  return SaveProperties(*stream, {jitter_correction_.load(), overwrite_prompt_.load()}).code();
}

HRESULT VynCDRipper::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size)
    return E_POINTER;
  size->QuadPart = kPersistedSize;
  return S_OK;
}

HRESULT VynCDRipper::InitNew(IStorage* storage) {
  if (!storage)
    return E_POINTER;
  return S_OK;  // a new control keeps its defaults
}

HRESULT VynCDRipper::Load(IStorage* storage) {
  if (!storage)
    return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = storage->OpenStream(kPersistedStreamName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                   0, stream.Receive());
  if (FAILED(hr))
    return hr;
  return LoadFrom(*stream).code();
}

HRESULT VynCDRipper::Save(IStorage* storage, BOOL) {
  if (!storage)
    return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr =
      storage->CreateStream(kPersistedStreamName, STGM_WRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE,
                            0, 0, stream.Receive());
  if (FAILED(hr))
    return hr;
  return Save(stream.Get(), TRUE);
}

}  // namespace vyn
