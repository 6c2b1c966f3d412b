// How the CDDB code states a failure: the control's message text, for the
// drive to report as the call's error. Every such failure is a call error
// (DISP_E_EXCEPTION with the text).
#pragma once

#include "control/messages.h"
#include "platform/com/hresult.h"
#include "platform/com/result.h"

namespace vyn {

inline Error CddbError(Message message) {
  return Error{DISP_E_EXCEPTION, MessageText(message)};
}

}  // namespace vyn
