// The enumerators of connection points and of a point's connections. Each
// walks a snapshot taken when it was made (clones share it), so the list
// it walks cannot change under it; the snapshot holds a reference to
// every item.
//
// Home thread: the thread that uses it (the host's); not shared. Each
// live enumerator holds a module lock.
#pragma once

#include <memory>
#include <vector>

#include "control/module_lock.h"
#include "platform/com/com_object.h"
#include "platform/com/connection_points.h"

namespace vyn {

struct ConnectionEntry {
  ComPtr<IUnknown> sink;
  DWORD cookie;
};

// How one item reaches the caller, with a new reference.
inline void Deliver(const ConnectionEntry& entry, CONNECTDATA* out) {
  out->pUnk = ComPtr<IUnknown>(entry.sink).Detach();
  out->dwCookie = entry.cookie;
}
inline void Deliver(const ComPtr<IConnectionPoint>& point, IConnectionPoint** out) {
  *out = ComPtr<IConnectionPoint>(point).Detach();
}

template <class Interface, class Out, class Stored>
class SnapshotEnumerator final
    : public ComObject<SnapshotEnumerator<Interface, Out, Stored>, Interface> {
 public:
  using Snapshot = std::shared_ptr<const std::vector<Stored>>;

  SnapshotEnumerator(Snapshot items, std::size_t position)
      : items_(std::move(items)), position_(position) {}

  HRESULT Next(ULONG count, Out* out, ULONG* fetched) override {
    if (!out || (!fetched && count != 1))
      return E_POINTER;
    ULONG delivered = 0;
    while (delivered < count && position_ < items_->size())
      Deliver((*items_)[position_++], &out[delivered++]);
    if (fetched)
      *fetched = delivered;
    return delivered == count ? S_OK : S_FALSE;
  }

  HRESULT Skip(ULONG count) override {
    std::size_t left = items_->size() - position_;
    if (count > left) {
      position_ = items_->size();
      return S_FALSE;
    }
    position_ += count;
    return S_OK;
  }

  HRESULT Reset() override {
    position_ = 0;
    return S_OK;
  }

  HRESULT Clone(Interface** out) override {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    auto clone = SnapshotEnumerator::Create(items_, position_);
    if (!clone)
      return E_OUTOFMEMORY;
    *out = clone.Detach();
    return S_OK;
  }

 protected:
  ~SnapshotEnumerator() override = default;

 private:
  const Snapshot items_;
  std::size_t position_;
  ModuleLock module_lock_;
};

using ConnectionsEnumerator = SnapshotEnumerator<IEnumConnections, CONNECTDATA, ConnectionEntry>;
using ConnectionPointsEnumerator =
    SnapshotEnumerator<IEnumConnectionPoints, IConnectionPoint*, ComPtr<IConnectionPoint>>;

}  // namespace vyn
