// The host's subscriber to the control's events: an IDispatch that answers
// _IVynCDRipperEvents and turns each Invoke into a RipEvents call, and the
// subscription that connects it through the control's connection point
// for as long as it lives.
//
// Home thread: the host's. The sink holds its RipEvents without owning it;
// the subscription is dropped before the RipEvents goes.
#pragma once

#include <memory>

#include "control/interfaces.h"
#include "platform/com/com_object.h"
#include "platform/com/connection_points.h"
#include "platform/com/result.h"
#include "tools/vynrip/rip_events.h"

namespace vyn::rip {

class EventSink final : public ComObject<EventSink, IDispatch> {
 public:
  HRESULT GetTypeInfoCount(UINT* count) override;
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) override;
  HRESULT Invoke(DISPID member,
                 REFIID iid,
                 LCID locale,
                 WORD flags,
                 DISPPARAMS* params,
                 VARIANT* result,
                 EXCEPINFO* exception,
                 UINT* argument_error) override;

  void* QueryExtraInterface(REFIID iid);

 protected:
  ~EventSink() override = default;

 private:
  friend class ComObject<EventSink, IDispatch>;
  explicit EventSink(RipEvents* events) : events_(events) {}

  RipEvents* events_;
};

class EventSubscription {
 public:
  // Finds the control's connection point for its events and advises a
  // sink that calls `events`.
  static Result<std::unique_ptr<EventSubscription>> Advise(IUnknown* control, RipEvents* events);
  ~EventSubscription();
  EventSubscription(const EventSubscription&) = delete;
  EventSubscription& operator=(const EventSubscription&) = delete;

 private:
  EventSubscription(ComPtr<IConnectionPoint> point, DWORD cookie)
      : point_(std::move(point)), cookie_(cookie) {}

  ComPtr<IConnectionPoint> point_;
  DWORD cookie_;
};

}  // namespace vyn::rip
