// Collection<I>: the one implementation behind DrivesCollection,
// TracksCollection and CDDBRecordsCollection. A list of slots, each holding
// one reference to an element or null, filled by the owner (the control or
// a drive) and read by the host through Item, Count and _NewEnum.
//
// Ownership: the owner keeps one reference to the collection and fills it.
// When the owner rebuilds the list or goes away it calls TakeAll(), tells
// each element it is out of service and drops the references. Releasing the
// collection itself frees only the slots.
//
// Thread-safe: the slots are guarded by `mutex_`, because an owner may
// rebuild a drive's lists on its polling thread while the host reads them.
// Every member copies what it needs under the lock and calls no element
// while holding it.
#pragma once

#include <mutex>
#include <vector>

#include "control/collection_enumerator.h"
#include "control/dual_object.h"
#include "control/interfaces.h"
#include "platform/com/com_object.h"
#include "platform/com/error_info.h"

namespace vyn {

template <class Interface>
class Collection final : public DualObject<Collection<Interface>, Interface, ISupportErrorInfo> {
 public:
  using Element = typename Interface::ElementInterface;

  // --- Interface ---
  HRESULT get__NewEnum(IUnknown** out) override {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    auto enumerator = CollectionEnumerator<Collection>::Create(ComPtr<Collection>(this), 0);
    if (!enumerator)
      return E_OUTOFMEMORY;
    *out = enumerator->AsUnknown();
    (void)enumerator.Detach();
    return S_OK;
  }

  // 1-based; 0 and below mean the first slot. A null slot gives null, S_OK.
  HRESULT get_Item(LONG index, Element** out) override {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    std::size_t position = index <= 1 ? 0 : static_cast<std::size_t>(index) - 1;
    ComPtr<Element> element;
    if (!SlotAt(position, &element))
      return E_FAIL;
    *out = element.Detach();
    return S_OK;
  }

  HRESULT get_Count(LONG* out) override {
    if (!out)
      return E_POINTER;
    *out = static_cast<LONG>(SlotCount());
    return S_OK;
  }

  // --- ISupportErrorInfo ---
  HRESULT InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == Interface::kIid ? S_OK : S_FALSE;
  }

  // --- The owner's side ---

  // Replaces the slots with `count` empty ones.
  void ResetSlots(std::size_t count) {
    std::vector<ComPtr<Element>> old;
    {
      std::lock_guard lock(mutex_);
      old.swap(items_);
      items_.resize(count);
    }
  }
  // Fills slot `index` (0-based), which must exist.
  void SetSlot(std::size_t index, ComPtr<Element> element) {
    std::lock_guard lock(mutex_);
    if (index < items_.size())
      items_[index] = std::move(element);
  }
  void Append(ComPtr<Element> element) {
    std::lock_guard lock(mutex_);
    items_.push_back(std::move(element));
  }
  // Swaps in a whole new list in one step, so a reader sees the old list
  // or the new one, never a mix; hands the old references to the owner.
  [[nodiscard]] std::vector<ComPtr<Element>> ReplaceAll(std::vector<ComPtr<Element>> items) {
    std::lock_guard lock(mutex_);
    items_.swap(items);
    return items;
  }
  // Empties the list and hands the references to the owner, which takes the
  // elements out of service and lets them go.
  [[nodiscard]] std::vector<ComPtr<Element>> TakeAll() {
    std::lock_guard lock(mutex_);
    return std::exchange(items_, {});
  }

  // The element in slot `position` (0-based); false past the end.
  bool SlotAt(std::size_t position, ComPtr<Element>* element) const {
    std::lock_guard lock(mutex_);
    if (position >= items_.size())
      return false;
    *element = items_[position];
    return true;
  }
  std::size_t SlotCount() const {
    std::lock_guard lock(mutex_);
    return items_.size();
  }

 protected:
  ~Collection() override = default;

 private:
  mutable std::mutex mutex_;
  std::vector<ComPtr<Element>> items_;  // guarded by mutex_
};

using DrivesCollection = Collection<IDrivesCollection>;
using TracksCollection = Collection<ITracksCollection>;
using CDDBRecordsCollection = Collection<ICDDBRecordsCollection>;

}  // namespace vyn
