// Timers that put WM_TIMER into a thread's queue. With no window the timer
// belongs to the calling thread: WM_TIMER comes with a null window and the
// timer's identifier in wParam. Timer messages have the lowest priority,
// and at most one waits per timer; the next one comes a period after that
// one was taken. Periods are in milliseconds of the current clock, at
// least 10.
#pragma once

#include "platform/win/window_types.h"

// The timer's identifier (for a thread timer, a new one unless `id` names
// an existing timer of the thread, which is then restarted); 0 with
// ERROR_INVALID_WINDOW_HANDLE for a window that is gone. With `proc`,
// dispatching the WM_TIMER calls it instead of a window procedure.
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc);
// Stops the timer; a WM_TIMER of it that was waiting is gone too. FALSE
// when there is no such timer of the calling thread (or the window).
BOOL KillTimer(HWND window, UINT_PTR id);
