#include "control/connection_point.h"

#include <algorithm>

#include "control/connection_enumerators.h"

namespace vyn {

std::vector<ComPtr<IDispatch>> ConnectionPoint::Subscribers() const {
  std::vector<ComPtr<IDispatch>> sinks;
  sinks.reserve(connections_.size());
  for (const Connection& connection : connections_)
    sinks.push_back(connection.sink);
  return sinks;
}

void ConnectionPoint::Disconnect() {
  container_ = nullptr;
  // Released outside the list: a subscriber's release may call back.
  std::vector<Connection> released = std::exchange(connections_, {});
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid)
    return E_POINTER;
  *iid = iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container)
    return E_POINTER;
  *container = nullptr;
  if (!container_)
    return E_UNEXPECTED;
  return ComPtr<IConnectionPointContainer>(container_).CopyTo(container);
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie)
    return E_POINTER;
  *cookie = 0;
  // The event interface itself, or plain IDispatch: events arrive as Invoke.
  ComPtr<IDispatch> dispatch;
  if (FAILED(sink->QueryInterface(iid_, dispatch.ReceiveVoid())) &&
      FAILED(sink->QueryInterface(IDispatch::kIid, dispatch.ReceiveVoid())))
    return CONNECT_E_CANNOTCONNECT;
  if (!dispatch)
    return CONNECT_E_CANNOTCONNECT;
  connections_.push_back({next_cookie_, std::move(dispatch)});
  *cookie = next_cookie_++;
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  auto found = std::find_if(connections_.begin(), connections_.end(),
                            [cookie](const Connection& c) { return c.cookie == cookie; });
  if (found == connections_.end())
    return CONNECT_E_NOCONNECTION;
  ComPtr<IDispatch> released = std::move(found->sink);
  connections_.erase(found);
  return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (!out)
    return E_POINTER;
  *out = nullptr;
  auto entries = std::make_shared<std::vector<ConnectionEntry>>();
  for (const Connection& connection : connections_)
    entries->push_back({ComPtr<IUnknown>(connection.sink), connection.cookie});
  auto enumerator = ConnectionsEnumerator::Create(std::move(entries), 0);
  if (!enumerator)
    return E_OUTOFMEMORY;
  *out = enumerator.Detach();
  return S_OK;
}

}  // namespace vyn
