// Raising one event to every subscriber of a connection point, in
// connection order. Each subscriber's Invoke gets the event's dispid,
// DISPATCH_METHOD and its own copy of the arguments; what it answers is
// ignored and a failing subscriber does not stop the others.
//
// Home thread: the connection point's (the host's).
#pragma once

#include "control/connection_point.h"

namespace vyn {

void FireEvent(const ConnectionPoint& point, DISPID event);
// One VT_I4 argument.
void FireEvent(const ConnectionPoint& point, DISPID event, LONG value);
// One VT_BSTR argument, a fresh BSTR per subscriber (null text: a null
// BSTR); VT_ERROR E_OUTOFMEMORY when the BSTR cannot be made.
void FireEventWithText(const ConnectionPoint& point, DISPID event, const char16_t* text);

}  // namespace vyn
