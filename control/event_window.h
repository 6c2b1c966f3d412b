// EventWindow: the control's hidden helper window, the one way other
// threads reach the host's thread. The drives' polling threads and the
// extraction worker post event messages to it; when the host's thread
// dispatches one, the window hands it to its client (the control), which
// raises the event. The worker's overwrite question goes through it too.
//
// Texts travel as copies: posting an extraction-error message copies the
// text, and the message carries the copy's address. The window keeps its
// own record of the copies in flight, because the platform drops queued
// messages without telling anyone: a copy is freed when its message is
// handled, when its post fails, or when the window is closed.
//
// Home thread: the host's; Open, Close and the window's messages run
// there. PostEvent, AskOverwrite and AbandonQuestions are thread-safe.
// Lifetime: owned by the control; Close comes first in its destruction, and
// the object itself stays until no drive can post any more.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "control/overwrite_question.h"
#include "platform/com/result.h"
#include "platform/win/window_types.h"

namespace vyn {

// The window's messages. An extraction error carries a zero-terminated
// UTF-16 text (or null) in wParam, progress the percentage.
inline constexpr UINT kMsgDiskChanged = WM_USER + 101;
inline constexpr UINT kMsgExtractionStart = WM_USER + 102;
inline constexpr UINT kMsgExtractionEnd = WM_USER + 103;
inline constexpr UINT kMsgExtractionError = WM_USER + 104;
inline constexpr UINT kMsgJitterDetected = WM_USER + 105;
inline constexpr UINT kMsgProgress = WM_USER + 106;
inline constexpr UINT kMsgOverwriteQuestion = WM_USER + 200;

inline constexpr char16_t kHelperWindowTitle[] = u"VynCDRipperHelper";

// What the window asks of its owner, on the host's thread.
class EventWindowClient {
 public:
  // One of the event messages has arrived; `text` is the error text of
  // kMsgExtractionError (possibly null), valid during the call.
  virtual void OnEventMessage(UINT message, WPARAM wparam, const char16_t* text) = 0;
  // Whether an existing output file may be replaced; `owner` owns any
  // message box shown.
  virtual OverwriteAnswer DecideOverwrite(HWND owner) = 0;

 protected:
  ~EventWindowClient() = default;
};

class EventWindow {
 public:
  explicit EventWindow(EventWindowClient* client) : client_(client) {}
  ~EventWindow() { Close(); }
  EventWindow(const EventWindow&) = delete;
  EventWindow& operator=(const EventWindow&) = delete;

  // Host's thread: makes the window (popup, 0,0, 100×100, never shown).
  // Failure: the system error as an HRESULT of facility Win32.
  Result<void> Open();
  // Host's thread: destroys the window (its queued messages go unraised),
  // frees every text copy still in flight and answers every open question
  // with "keep". Idempotent.
  void Close();
  HWND hwnd() const { return hwnd_.load(); }

  // Any thread: posts an event message and returns at once; false when
  // there is no window. For kMsgExtractionError, `wparam` is a text
  // (or null) that only has to live during the call.
  bool PostEvent(UINT message, WPARAM wparam);
  // Worker: asks the host's thread whether the existing file may be
  // replaced and waits for the answer; kKeep when cancelled or closed.
  OverwriteAnswer AskOverwrite(const std::function<bool()>& cancelled);
  // Any thread: answers every waiting question with kKeep.
  void AbandonQuestions() { questions_.AbandonAll(); }

  // Text copies in flight, for tests.
  std::size_t PendingTextCount() const;

 private:
  static LRESULT Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  // Registers a copy of `text`; null when there is no text, no memory or
  // no window any more.
  const char16_t* KeepCopy(const char16_t* text, bool* refused);
  std::unique_ptr<std::u16string> TakeCopy(WPARAM wparam);

  EventWindowClient* const client_;
  std::atomic<HWND> hwnd_{nullptr};
  mutable std::mutex texts_mutex_;
  bool closed_ = false;  // guarded by texts_mutex_
  std::unordered_map<const char16_t*, std::unique_ptr<std::u16string>>
      texts_;  // guarded by texts_mutex_
  OverwriteQuestions questions_;
};

}  // namespace vyn
