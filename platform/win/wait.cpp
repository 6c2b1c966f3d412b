#include "platform/win/wait.h"

#include <vector>

#include "platform/win/last_error.h"
#include "platform/win/waitable_object.h"

namespace vyn {

bool WaitableObjectsFromHandles(std::span<const HANDLE> handles,
                                std::vector<std::shared_ptr<WaitableObject>>* objects) {
  objects->clear();
  for (HANDLE handle : handles) {
    auto object = ObjectFromHandleAs<WaitableObject>(handle);
    if (!object) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    objects->push_back(std::move(object));
  }
  return true;
}

DWORD WaitForObjects(std::span<WaitableObject* const> objects, Deadline deadline) {
  Waiter waiter;
  for (WaitableObject* object : objects)
    object->AddWaiter(&waiter);
  DWORD result = WAIT_TIMEOUT;
  for (;;) {
    bool acquired = false;
    for (std::size_t i = 0; i < objects.size() && !acquired; ++i) {
      if (objects[i]->TryAcquire()) {
        result = WAIT_OBJECT_0 + static_cast<DWORD>(i);
        acquired = true;
      }
    }
    if (acquired || deadline.Passed())
      break;
    waiter.WaitUntil(deadline);
  }
  for (WaitableObject* object : objects)
    object->RemoveWaiter(&waiter);
  return result;
}

}  // namespace vyn

DWORD WaitForSingleObject(HANDLE handle, DWORD ms) {
  return WaitForMultipleObjects(1, &handle, FALSE, ms);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD ms) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  if (wait_all) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<vyn::WaitableObject>> owned;
  if (!vyn::WaitableObjectsFromHandles({handles, count}, &owned))
    return WAIT_FAILED;
  std::vector<vyn::WaitableObject*> objects;
  for (auto& object : owned)
    objects.push_back(object.get());
  return vyn::WaitForObjects(objects, vyn::Deadline::AfterMs(ms));
}
