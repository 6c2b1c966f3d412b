#include "platform/com/guid.h"

#include <cstdio>

std::string GUID::ToString() const {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(Data1), Data2, Data3, Data4[0], Data4[1], Data4[2], Data4[3],
                Data4[4], Data4[5], Data4[6], Data4[7]);
  return text;
}

std::u16string GUID::ToWide() const {
  std::string narrow = ToString();
  return std::u16string(narrow.begin(), narrow.end());
}
