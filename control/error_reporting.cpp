#include "control/error_reporting.h"

#include "platform/com/bstr.h"
#include "platform/com/error_info.h"
#include "platform/com/progid.h"
#include "platform/com/task_memory.h"
#include "platform/text/code_page.h"
#include "platform/win/format_message.h"
#include "platform/win/last_error.h"

namespace vyn {

HRESULT ReportError(REFCLSID reporting_class, std::u16string_view text) {
  ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.Receive())))
    return DISP_E_EXCEPTION;
  create->SetGUID(GUID_NULL);
  OLECHAR* prog_id = nullptr;
  if (SUCCEEDED(ProgIDFromCLSID(reporting_class, &prog_id))) {
    create->SetSource(prog_id);
    CoTaskMemFree(prog_id);
  }
  std::u16string description(text);
  create->SetDescription(description.c_str());
  if (ComPtr<IErrorInfo> info = create.As<IErrorInfo>())
    SetErrorInfo(0, info.Get());
  return DISP_E_EXCEPTION;
}

HRESULT ReportError(REFCLSID reporting_class, std::string_view ansi_text) {
  return ReportError(reporting_class, std::u16string_view(AnsiToWide(ansi_text)));
}

HRESULT ReportError(REFCLSID reporting_class, Message message) {
  return ReportError(reporting_class, std::string_view(MessageText(message)));
}

std::string SystemErrorText() {
  // The system's texts end in a period and a line break; those three
  // characters go.
  constexpr std::size_t kTrailer = 3;
  char buffer[1024];
  DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     GetLastError(), LOCALE_USER_DEFAULT, buffer, sizeof buffer, nullptr);
  if (length < kTrailer)
    return {};
  return std::string(buffer, length - kTrailer);
}

}  // namespace vyn
