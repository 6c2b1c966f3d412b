// Reaching a window or a thread with a message. Posting queues the message
// and returns at once. Sending to a window of the calling thread calls its
// procedure directly; sending to another thread's window waits for that
// thread to handle it, and while waiting handles the messages sent to the
// calling thread, so two threads that send to each other do not deadlock.
// A window or thread that goes away while a send waits answers it with 0.
//
// Thread-safe: callable from any thread.
#pragma once

#include "platform/win/window_types.h"

// FALSE with ERROR_INVALID_WINDOW_HANDLE when the window is gone. A null
// window posts to the calling thread.
BOOL PostMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// FALSE with ERROR_INVALID_THREAD_ID when the thread has no message queue.
BOOL PostThreadMessageW(DWORD thread_id, UINT message, WPARAM wparam, LPARAM lparam);
// The procedure's answer; 0 (with ERROR_INVALID_WINDOW_HANDLE) when the
// window is gone, or when it or its thread goes away before answering.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
