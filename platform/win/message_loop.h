// Taking messages out of the calling thread's queue and handing them to
// window procedures. Every function here first handles the messages other
// threads have sent to the calling thread. Order: sent messages, then
// posted messages in the order posted, then WM_QUIT, then due timers.
//
// Home thread: the calling thread's own queue.
#pragma once

#include "platform/win/handle.h"
#include "platform/win/window_types.h"

inline constexpr UINT PM_NOREMOVE = 0x0000;
inline constexpr UINT PM_REMOVE = 0x0001;
inline constexpr UINT PM_NOYIELD = 0x0002;

inline constexpr DWORD QS_KEY = 0x0001;
inline constexpr DWORD QS_MOUSEMOVE = 0x0002;
inline constexpr DWORD QS_MOUSEBUTTON = 0x0004;
inline constexpr DWORD QS_POSTMESSAGE = 0x0008;
inline constexpr DWORD QS_TIMER = 0x0010;
inline constexpr DWORD QS_PAINT = 0x0020;
inline constexpr DWORD QS_SENDMESSAGE = 0x0040;
inline constexpr DWORD QS_HOTKEY = 0x0080;
inline constexpr DWORD QS_ALLPOSTMESSAGE = 0x0100;
inline constexpr DWORD QS_ALLEVENTS = 0x04BF;
inline constexpr DWORD QS_ALLINPUT = 0x04FF;

// Waits for a message and takes it: 1, 0 for WM_QUIT, -1 (last error set)
// for a null MSG or a window filter that is not a live window.
BOOL GetMessageW(MSG* message, HWND window, UINT min, UINT max);
// Takes (PM_REMOVE) or looks at (PM_NOREMOVE) a waiting message without
// waiting; TRUE when there was one.
BOOL PeekMessageW(MSG* message, HWND window, UINT min, UINT max, UINT flags);
// There is no keyboard input to translate: always FALSE.
BOOL TranslateMessage(const MSG* message);
// Calls the window procedure (or the timer's callback) on the calling
// thread and returns its answer. A message for a window that is gone or
// belongs to another thread goes nowhere.
LRESULT DispatchMessageW(const MSG* message);
// Asks the calling thread's loop to end: WM_QUIT comes once the messages
// posted before it have been taken.
void PostQuitMessage(int exit_code);
// Waits until one of the handles is signalled (WAIT_OBJECT_0 + i) or input
// of the kinds in `wake_mask` waits in the queue (WAIT_OBJECT_0 + count),
// handling sent messages meanwhile. WAIT_TIMEOUT, or WAIT_FAILED with the
// last error set. Waiting for all handles is not supported.
DWORD MsgWaitForMultipleObjects(DWORD count,
                                const HANDLE* handles,
                                BOOL wait_all,
                                DWORD ms,
                                DWORD wake_mask);
