// ConnectionPoint: one outgoing interface of an object and the subscribers
// connected to it. A subscriber is held as its IDispatch, with one
// reference, from Advise until Unadvise or until the owner disconnects the
// point as it goes away. Cookies start at 1 and are never reused.
//
// Home thread: the owner's (the host's thread); it takes no lock. Firing
// works on a snapshot of the subscribers, so a subscriber may connect or
// disconnect from inside an event.
//
// Lifetime: made and held by its owner, which it does not keep alive; a
// host may hold the point longer, and after Disconnect it has no
// subscribers and no container.
#pragma once

#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/connection_points.h"
#include "platform/com/dispatch.h"

namespace vyn {

class ConnectionPoint final : public ComObject<ConnectionPoint, IConnectionPoint> {
 public:
  ConnectionPoint(const IID& iid, IConnectionPointContainer* container)
      : iid_(iid), container_(container) {}

  const IID& iid() const { return iid_; }
  // The subscribers in connection order, each with a new reference.
  std::vector<ComPtr<IDispatch>> Subscribers() const;
  // Releases every subscriber and forgets the container.
  void Disconnect();

  // --- IConnectionPoint ---
  HRESULT GetConnectionInterface(IID* iid) override;
  HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT Unadvise(DWORD cookie) override;
  HRESULT EnumConnections(IEnumConnections** out) override;

 protected:
  ~ConnectionPoint() override = default;

 private:
  struct Connection {
    DWORD cookie;
    ComPtr<IDispatch> sink;
  };

  const IID iid_;
  IConnectionPointContainer* container_;  // not owned; null once disconnected
  std::vector<Connection> connections_;
  DWORD next_cookie_ = 1;
};

}  // namespace vyn
