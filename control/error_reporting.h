// How the control hands a failure with a text to an automation caller: an
// error object on the calling thread, and DISP_E_EXCEPTION as the result.
// Thread-safe: works on the calling thread's error object only.
#pragma once

#include <string>
#include <string_view>

#include "control/messages.h"
#include "platform/com/guid.h"
#include "platform/com/hresult.h"

namespace vyn {

// Installs an error object whose description is `text` and whose source is
// the ProgID registered for `reporting_class` (none when it has none).
// Always returns DISP_E_EXCEPTION, for the caller to return unchanged.
HRESULT ReportError(REFCLSID reporting_class, std::u16string_view text);
// The same for a text in the ANSI code page.
HRESULT ReportError(REFCLSID reporting_class, std::string_view ansi_text);
HRESULT ReportError(REFCLSID reporting_class, Message message);

// The system's message text for the calling thread's last error code,
// without its closing period and line break; empty when the system has no
// text for the code.
std::string SystemErrorText();

}  // namespace vyn
