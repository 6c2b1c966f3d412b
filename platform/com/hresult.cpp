#include "platform/com/hresult.h"

#include <cstdio>

std::string HResultName(HRESULT hr) {
  switch (static_cast<std::uint32_t>(hr)) {
#define VYN_NAME_HRESULT(name, value)     \
  case static_cast<std::uint32_t>(value): \
    return #name;
    VYN_HRESULT_LIST(VYN_NAME_HRESULT)
#undef VYN_NAME_HRESULT
  }
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}
