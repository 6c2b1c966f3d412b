// The text of a failed call on the control, for the user: the control's own
// error text when it reported one, otherwise the HRESULT's name and the
// system's meaning.
//
// Home thread: the thread that made the failing call (error objects are
// per thread), right after the call.
#pragma once

#include <functional>
#include <string>

#include "platform/com/result.h"

namespace vyn::rip {

std::string ControlErrorText(HRESULT hr);

// Makes one call on the control with no stale error object about, and
// turns a failure into an Error with the text above.
Result<void> CallControl(const std::function<HRESULT()>& call);

}  // namespace vyn::rip
