#include "tools/vynrip/control_error.h"

#include <cstdio>

#include "platform/com/error_info.h"
#include "platform/text/code_page.h"
#include "platform/win/format_message.h"

namespace vyn::rip {
namespace {

std::string SystemMeaning(HRESULT hr) {
  char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(hr), 0, text, sizeof text, nullptr);
  std::string meaning(text, length);
  while (!meaning.empty() && (meaning.back() == '\n' || meaning.back() == '\r'))
    meaning.pop_back();
  return meaning;
}

}  // namespace

std::string ControlErrorText(HRESULT hr) {
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Receive()) == S_OK && info) {
    Bstr description;
    if (SUCCEEDED(info->GetDescription(description.Receive())) && !description.View().empty())
      return WideToUtf8(description.View());
  }
  char code[16];
  std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
  std::string text = std::string(code) + " " + HResultName(hr);
  std::string meaning = SystemMeaning(hr);
  if (!meaning.empty())
    text += " (" + meaning + ")";
  return text;
}

Result<void> CallControl(const std::function<HRESULT()>& call) {
  SetErrorInfo(0, nullptr);
  HRESULT hr = call();
  if (FAILED(hr))
    return Error{hr, ControlErrorText(hr)};
  return Ok();
}

}  // namespace vyn::rip
