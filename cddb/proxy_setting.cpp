#include "cddb/proxy_setting.h"

#include <cstdlib>

#include "control/error_reporting.h"
#include "platform/win/last_error.h"
#include "platform/win/message_box.h"

namespace vyn {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size())
    return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i])
      return false;
  }
  return true;
}

// No credentials, white space or control characters anywhere.
bool HasOnlyHostCharacters(std::string_view text) {
  for (unsigned char c : text) {
    if (c <= 0x20 || c == 0x7F || c == '@')
      return false;
  }
  return true;
}

}  // namespace

std::optional<ProxySetting> ParseProxyText(std::string_view text) {
  constexpr std::string_view kScheme = "http://";
  if (StartsWithNoCase(text, kScheme))
    text.remove_prefix(kScheme.size());
  else if (text.find("://") != std::string_view::npos)
    return std::nullopt;
  // A trailing path ("http://proxy:3128/") names no part of the proxy.
  text = text.substr(0, text.find('/'));
  if (!HasOnlyHostCharacters(text))
    return std::nullopt;

  ProxySetting setting;
  setting.use = ProxyUse::kNamedProxy;
  const std::size_t colon = text.find(':');
  setting.host = std::string(text.substr(0, colon));
  if (setting.host.empty())
    return std::nullopt;
  if (colon == std::string_view::npos) {
    setting.port = kDefaultProxyPort;
    return setting;
  }
  std::uint16_t port = 0;
  for (std::size_t i = colon + 1; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    port = static_cast<std::uint16_t>(port * 10 + (text[i] - '0'));
  setting.port = port;
  return setting;
}

ProxySetting ReadProxySetting() {
  const char* text = std::getenv(kHttpProxyVariable);
  if (!text || !*text)
    return {};
  if (auto setting = ParseProxyText(text))
    return *setting;
  SetLastError(ERROR_INVALID_DATA);
  MessageBoxA(nullptr, SystemErrorText().c_str(), nullptr, MB_OK);
  return {};
}

}  // namespace vyn
