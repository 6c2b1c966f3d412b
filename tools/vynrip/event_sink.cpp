#include "tools/vynrip/event_sink.h"

#include "platform/text/code_page.h"
#include "tools/vynrip/control_error.h"

namespace vyn::rip {
namespace {

// The event's one argument, as the control passes it.
const VARIANT* Argument(const DISPPARAMS* params) {
  return params && params->cArgs >= 1 ? &params->rgvarg[params->cArgs - 1] : nullptr;
}

}  // namespace

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
  if (!count)
    return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info)
    *info = nullptr;
  return E_NOTIMPL;
}

HRESULT EventSink::GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) {
  return DISP_E_UNKNOWNNAME;
}

HRESULT EventSink::Invoke(DISPID member,
                          REFIID,
                          LCID,
                          WORD,
                          DISPPARAMS* params,
                          VARIANT*,
                          EXCEPINFO*,
                          UINT*) {
  const VARIANT* argument = Argument(params);
  switch (member) {
    case kDispidOnProgress:
      events_->OnProgress(argument && argument->vt == VT_I4 ? argument->lVal : 0);
      return S_OK;
    case kDispidOnExtractionStart:
      events_->OnExtractionStart();
      return S_OK;
    case kDispidOnExtractionEnd:
      events_->OnExtractionEnd();
      return S_OK;
    case kDispidOnExtractionError: {
      std::string text;
      if (argument && argument->vt == VT_BSTR && argument->bstrVal)
        text = WideToUtf8(std::u16string_view(argument->bstrVal, SysStringLen(argument->bstrVal)));
      else if (argument && argument->vt == VT_ERROR)
        text = ControlErrorText(argument->scode);
      events_->OnExtractionError(text);
      return S_OK;
    }
    case kDispidOnJitterDetected:
      events_->OnJitterDetected();
      return S_OK;
    case kDispidOnDiskChanged:
      events_->OnDiskChanged();
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

void* EventSink::QueryExtraInterface(REFIID iid) {
  return iid == DIID__IVynCDRipperEvents ? static_cast<IDispatch*>(this) : nullptr;
}

Result<std::unique_ptr<EventSubscription>> EventSubscription::Advise(IUnknown* control,
                                                                     RipEvents* events) {
  ComPtr<IConnectionPointContainer> container =
      ComPtr<IUnknown>(control).As<IConnectionPointContainer>();
  if (!container)
    return Error{E_NOINTERFACE, "the control offers no events"};
  ComPtr<IConnectionPoint> point;
  if (Result<void> found = CallControl([&] {
        return container->FindConnectionPoint(DIID__IVynCDRipperEvents, point.Receive());
      });
      !found)
    return found.error();
  ComPtr<EventSink> sink = EventSink::Create(events);
  if (!sink)
    return Error{E_OUTOFMEMORY, "out of memory"};
  DWORD cookie = 0;
  if (Result<void> advised = CallControl([&] { return point->Advise(sink->AsUnknown(), &cookie); });
      !advised)
    return advised.error();
  return std::unique_ptr<EventSubscription>(new EventSubscription(std::move(point), cookie));
}

EventSubscription::~EventSubscription() {
  (void)point_->Unadvise(cookie_);
}

}  // namespace vyn::rip
