#include "control/event_firing.h"

#include <functional>

namespace vyn {
namespace {

// Calls every subscriber with the argument `fill` builds for it (none when
// `fill` is empty).
void FireToEach(const ConnectionPoint& point,
                DISPID event,
                const std::function<void(VARIANT*)>& fill) {
  for (const ComPtr<IDispatch>& sink : point.Subscribers()) {
    Variant argument;
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    if (fill) {
      fill(argument.get());
      params.rgvarg = argument.get();
      params.cArgs = 1;
    }
    (void)sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                       nullptr, nullptr);
  }
}

}  // namespace

void FireEvent(const ConnectionPoint& point, DISPID event) {
  FireToEach(point, event, nullptr);
}

void FireEvent(const ConnectionPoint& point, DISPID event, LONG value) {
  FireToEach(point, event, [value](VARIANT* argument) {
    argument->vt = VT_I4;
    argument->lVal = value;
  });
}

void FireEventWithText(const ConnectionPoint& point, DISPID event, const char16_t* text) {
  FireToEach(point, event, [text](VARIANT* argument) {
    BSTR copy = text ? SysAllocString(text) : nullptr;
    if (text && !copy) {
      argument->vt = VT_ERROR;
      argument->scode = E_OUTOFMEMORY;
      return;
    }
    argument->vt = VT_BSTR;
    argument->bstrVal = copy;
  });
}

}  // namespace vyn
