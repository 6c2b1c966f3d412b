// Waiting for kernel objects (events, threads) to be signalled, bounded by
// a time-out in milliseconds of the current clock. These waits do not
// handle messages; MsgWaitForMultipleObjects (message_loop.h) does.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "platform/win/deadline.h"
#include "platform/win/handle.h"

inline constexpr DWORD WAIT_OBJECT_0 = 0;
inline constexpr DWORD WAIT_ABANDONED_0 = 0x80;
inline constexpr DWORD WAIT_TIMEOUT = 258;
inline constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
inline constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;

// WAIT_OBJECT_0 when signalled, WAIT_TIMEOUT, or WAIT_FAILED (last error
// set) for a handle that is not open or not waitable.
DWORD WaitForSingleObject(HANDLE handle, DWORD ms);
// WAIT_OBJECT_0 + i for the first signalled handle. Waiting for all of them
// at once (wait_all TRUE) is not supported: WAIT_FAILED, ERROR_NOT_SUPPORTED.
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL wait_all, DWORD ms);

namespace vyn {

class WaitableObject;

// The waitable objects behind `handles`, or false (last error set).
bool WaitableObjectsFromHandles(std::span<const HANDLE> handles,
                                std::vector<std::shared_ptr<WaitableObject>>* objects);
// Waits until one of `objects` can be acquired: WAIT_OBJECT_0 + index, or
// WAIT_TIMEOUT once the deadline has passed.
DWORD WaitForObjects(std::span<WaitableObject* const> objects, Deadline deadline);

}  // namespace vyn
