// Message boxes. The host decides how a question is shown by installing a
// MessageBoxProvider (a dialog of its toolkit, a terminal prompt, a test's
// script); the provider runs on the calling thread. Without a provider the
// answer is the box's default button, at once, and nothing is shown or
// logged.
#pragma once

#include <memory>
#include <string>

#include "platform/win/window_types.h"

// Buttons (the low four bits of the type).
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
inline constexpr UINT MB_CANCELTRYCONTINUE = 0x6;
inline constexpr UINT MB_TYPEMASK = 0xF;
// Icons.
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x40;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0xF0;
// Which button is the default.
inline constexpr UINT MB_DEFBUTTON1 = 0x000;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;
inline constexpr UINT MB_DEFBUTTON3 = 0x200;
inline constexpr UINT MB_DEFBUTTON4 = 0x300;
inline constexpr UINT MB_DEFMASK = 0xF00;
// Modality and placement; recorded for the provider, no effect here.
inline constexpr UINT MB_APPLMODAL = 0x0000;
inline constexpr UINT MB_SYSTEMMODAL = 0x1000;
inline constexpr UINT MB_TASKMODAL = 0x2000;
inline constexpr UINT MB_SETFOREGROUND = 0x10000;
inline constexpr UINT MB_TOPMOST = 0x40000;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;

// Shows the question through the installed provider and returns the
// button chosen. A null caption means "Error".
int MessageBoxW(HWND owner, const WCHAR* text, const WCHAR* caption, UINT type);
// The same with texts in the ANSI code page.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

namespace vyn {

struct MessageBoxRequest {
  HWND owner = nullptr;
  std::u16string text;
  std::u16string caption;
  UINT type = MB_OK;
};

// The answer of the box's default button (MB_DEFBUTTONn, or the first
// button when the box has fewer).
int DefaultAnswer(UINT type);
// True when `answer` is one of the box's buttons.
bool IsAnswerOf(UINT type, int answer);

// Shows message boxes. Show runs on the thread that asked; a provider that
// shows a dialog runs a nested loop that keeps the thread's queue pumped.
// Thread-safe: questions may come from several threads at once.
class MessageBoxProvider {
 public:
  virtual ~MessageBoxProvider() = default;
  virtual int Show(const MessageBoxRequest& request) = 0;
};

// Installs `provider` (null: none) and returns the one it replaces. A box
// that is open keeps its provider until it is answered.
std::shared_ptr<MessageBoxProvider> SetMessageBoxProvider(
    std::shared_ptr<MessageBoxProvider> provider);

}  // namespace vyn
