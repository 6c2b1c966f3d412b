// CollectionEnumerator: the IEnumVARIANT that a collection's _NewEnum hands
// out. It keeps its collection alive and reads the collection's current
// slots at every call, by position: slots filled later are visited, and
// after the owner rebuilds the list the position simply indexes the new
// list (or lies past its end). It never holds on to a slot between calls,
// so it cannot read freed memory.
//
// Home thread: the thread that uses it (the host's); it is not shared. Each
// live enumerator holds a module lock.
#pragma once

#include "control/module_lock.h"
#include "platform/com/com_object.h"
#include "platform/com/enum_variant.h"

namespace vyn {

template <class CollectionClass>
class CollectionEnumerator final
    : public ComObject<CollectionEnumerator<CollectionClass>, IEnumVARIANT> {
 public:
  CollectionEnumerator(ComPtr<CollectionClass> collection, std::size_t position)
      : collection_(std::move(collection)), position_(position) {}

  HRESULT Next(ULONG count, VARIANT* variants, ULONG* fetched) override {
    if (!variants || (!fetched && count != 1))
      return E_POINTER;
    if (!collection_)
      return E_FAIL;
    ULONG delivered = 0;
    while (delivered < count) {
      ComPtr<typename CollectionClass::Element> element;
      if (!collection_->SlotAt(position_, &element))
        break;
      if (HRESULT hr = VariantClear(&variants[delivered]); FAILED(hr)) {
        for (ULONG i = 0; i < delivered; ++i)
          VariantClear(&variants[i]);
        if (fetched)
          *fetched = 0;
        return hr;
      }
      variants[delivered].vt = VT_DISPATCH;
      variants[delivered].pdispVal = element.Detach();
      ++delivered;
      ++position_;
    }
    if (fetched)
      *fetched = delivered;
    return delivered == count ? S_OK : S_FALSE;
  }

  HRESULT Skip(ULONG count) override {
    for (ULONG step = 0; step < count; ++step) {
      if (position_ >= collection_->SlotCount())
        return S_FALSE;
      ++position_;
    }
    return S_OK;
  }

  HRESULT Reset() override {
    position_ = 0;
    return S_OK;
  }

  HRESULT Clone(IEnumVARIANT** out) override {
    if (!out)
      return E_POINTER;
    *out = nullptr;
    auto clone = CollectionEnumerator::Create(collection_, position_);
    if (!clone)
      return E_OUTOFMEMORY;
    *out = clone.Detach();
    return S_OK;
  }

 protected:
  ~CollectionEnumerator() override = default;

 private:
  ComPtr<CollectionClass> collection_;
  std::size_t position_;
  ModuleLock module_lock_;
};

}  // namespace vyn
