#include "tools/vynrip/interrupt_relay.h"

#include "platform/win/last_error.h"
#include "platform/win/message_delivery.h"
#include "platform/win/window.h"

namespace vyn::rip {
namespace {

constexpr UINT kInterruptMessage = WM_APP + 1;
constexpr char16_t kClassName[] = u"VynRipInterruptRelay";

bool RegisterRelayClass(WNDPROC procedure) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.lpszClassName = kClassName;
  return RegisterClassW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

Result<std::unique_ptr<InterruptRelay>> InterruptRelay::Start(std::function<void()> on_interrupt) {
  if (!RegisterRelayClass(&InterruptRelay::WindowProc))
    return Error{E_FAIL, "cannot register the interrupt window class"};
  std::unique_ptr<InterruptRelay> relay(new InterruptRelay(std::move(on_interrupt)));
  relay->window_ =
      CreateWindowExW(0, kClassName, u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (!relay->window_)
    return Error{E_FAIL, "cannot make the interrupt window"};
  SetWindowLongPtrW(relay->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(relay.get()));
  HWND window = relay->window_;
  auto watch =
      ConsoleInterruptWatch::Start([window] { PostMessageW(window, kInterruptMessage, 0, 0); });
  if (!watch)
    return watch.error();
  relay->watch_ = std::move(*watch);
  return relay;
}

InterruptRelay::~InterruptRelay() {
  // The watch first: no post may reach a window that is gone.
  watch_.reset();
  if (window_)
    DestroyWindow(window_);
}

LRESULT InterruptRelay::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kInterruptMessage) {
    auto* relay = reinterpret_cast<InterruptRelay*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (relay)
      relay->on_interrupt_();
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace vyn::rip
