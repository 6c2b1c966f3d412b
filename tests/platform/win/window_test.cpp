#include <gtest/gtest.h>

#include "platform/win/last_error.h"
#include "platform/win/thread.h"
#include "tests/platform/win/messaging_fixture.h"

namespace vyn {
namespace {

using testing::MessagingTest;
using testing::RecordingWindow;

class WindowTest : public MessagingTest {};

std::vector<UINT> Numbers(const std::vector<testing::Received>& log) {
  std::vector<UINT> numbers;
  for (const auto& r : log)
    numbers.push_back(r.message);
  return numbers;
}

// Catches creation and destruction messages that are missing, out of
// order, or that leave the handle usable afterwards.
TEST_F(WindowTest, CreationAndDestructionDeliverTheirMessages) {
  RecordingWindow window;
  ASSERT_NE(window.hwnd(), nullptr);
  EXPECT_TRUE(IsWindow(window.hwnd()));
  EXPECT_EQ(Numbers(window.All()), (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
  EXPECT_EQ(GetWindowThreadProcessId(window.hwnd(), nullptr), GetCurrentThreadId());
  WCHAR title[32];
  EXPECT_EQ(GetWindowTextW(window.hwnd(), title, 32), 9);
  EXPECT_EQ(std::u16string(title), u"recording");

  ASSERT_TRUE(DestroyWindow(window.hwnd()));
  EXPECT_EQ(Numbers(window.All()),
            (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(window.hwnd()));
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrW(window.hwnd(), GWLP_USERDATA), 0);
  EXPECT_EQ(GetWindowLongPtrW(window.hwnd(), GWLP_USERDATA), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  EXPECT_FALSE(DestroyWindow(window.hwnd()));
}

// Catches queued messages delivered to a destroyed window, and posts to it
// that report success.
TEST_F(WindowTest, DestroyedWindowGetsNoQueuedMessagesAndRefusesPosts) {
  RecordingWindow window;
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(PostMessageW(window.hwnd(), WM_USER + 1, i, 0));
  RecordingWindow other;
  ASSERT_TRUE(PostMessageW(other.hwnd(), WM_USER + 2, 0, 0));

  ASSERT_TRUE(DestroyWindow(window.hwnd()));
  RunUntilIdle();
  EXPECT_EQ(window.CountOf(WM_USER + 1), 0u);
  EXPECT_EQ(other.CountOf(WM_USER + 2), 1u);

  SetLastError(0);
  EXPECT_FALSE(PostMessageW(window.hwnd(), WM_USER + 1, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  SetLastError(0);
  EXPECT_EQ(SendMessageW(window.hwnd(), WM_USER + 1, 0, 0), 0);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

// Catches windows destroyed (or their state changed) by a thread that
// does not own them.
TEST_F(WindowTest, OnlyTheOwnerThreadDestroysAWindow) {
  RecordingWindow window;
  std::atomic<BOOL> destroyed{TRUE};
  std::atomic<DWORD> error{0};
  auto thread = Thread::Start([&] {
    destroyed = DestroyWindow(window.hwnd());
    error = GetLastError();
  });
  ASSERT_TRUE(thread.ok());
  thread->Join();
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(error.load(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(IsWindow(window.hwnd()));
}

HWND g_refused = nullptr;

LRESULT RefuseCreation(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE)
    g_refused = hwnd;
  if (message == WM_CREATE)
    return -1;
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

// Catches a window that stays alive after its creation was refused, and
// creation from a class that does not exist.
TEST_F(WindowTest, FailedCreationLeavesNoWindow) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = &RefuseCreation;
  window_class.lpszClassName = u"VynTestRefusingWindow";
  ATOM atom = RegisterClassW(&window_class);
  ASSERT_NE(atom, 0);
  SetLastError(0);
  EXPECT_EQ(RegisterClassW(&window_class), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);

  EXPECT_EQ(CreateWindowExW(0, u"vyntestrefusingwindow", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr,
                            nullptr, nullptr, nullptr),
            nullptr);
  ASSERT_NE(g_refused, nullptr);
  EXPECT_FALSE(IsWindow(g_refused));
  ASSERT_TRUE(UnregisterClassW(u"VynTestRefusingWindow", nullptr));
  SetLastError(0);
  EXPECT_FALSE(UnregisterClassW(u"VynTestRefusingWindow", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_CLASS_DOES_NOT_EXIST);
  SetLastError(0);
  EXPECT_EQ(CreateWindowExW(0, MAKEINTATOM(atom), nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            nullptr, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), ERROR_CANNOT_FIND_WND_CLASS);
}

// Catches a class taken away from under a live window of it: it is kept
// until its last window is destroyed.
TEST_F(WindowTest, AClassWithWindowsIsNotUnregistered) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = &DefWindowProcW;
  window_class.lpszClassName = u"VynTestBusyClass";
  ASSERT_NE(RegisterClassW(&window_class), 0);
  HWND window = CreateWindowExW(0, u"VynTestBusyClass", nullptr, WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  SetLastError(0);
  EXPECT_FALSE(UnregisterClassW(u"vyntestbusyclass", nullptr));
  EXPECT_EQ(GetLastError(), ERROR_CLASS_HAS_WINDOWS);
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_TRUE(UnregisterClassW(u"VynTestBusyClass", nullptr));
}

}  // namespace
}  // namespace vyn
