#include "platform/win/message_box.h"

#include <mutex>
#include <span>

#include "platform/text/code_page.h"

namespace vyn {
namespace {

std::span<const int> Buttons(UINT type) {
  static constexpr int kOk[] = {IDOK};
  static constexpr int kOkCancel[] = {IDOK, IDCANCEL};
  static constexpr int kAbortRetryIgnore[] = {IDABORT, IDRETRY, IDIGNORE};
  static constexpr int kYesNoCancel[] = {IDYES, IDNO, IDCANCEL};
  static constexpr int kYesNo[] = {IDYES, IDNO};
  static constexpr int kRetryCancel[] = {IDRETRY, IDCANCEL};
  static constexpr int kCancelTryContinue[] = {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return kOkCancel;
    case MB_ABORTRETRYIGNORE:
      return kAbortRetryIgnore;
    case MB_YESNOCANCEL:
      return kYesNoCancel;
    case MB_YESNO:
      return kYesNo;
    case MB_RETRYCANCEL:
      return kRetryCancel;
    case MB_CANCELTRYCONTINUE:
      return kCancelTryContinue;
    default:
      return kOk;
  }
}

std::mutex g_provider_mutex;
std::shared_ptr<MessageBoxProvider> g_provider;  // guarded by g_provider_mutex

std::shared_ptr<MessageBoxProvider> CurrentProvider() {
  std::lock_guard lock(g_provider_mutex);
  return g_provider;
}

}  // namespace

int DefaultAnswer(UINT type) {
  std::span<const int> buttons = Buttons(type);
  std::size_t index = (type & MB_DEFMASK) >> 8;
  return buttons[index < buttons.size() ? index : 0];
}

bool IsAnswerOf(UINT type, int answer) {
  for (int button : Buttons(type)) {
    if (button == answer)
      return true;
  }
  return false;
}

std::shared_ptr<MessageBoxProvider> SetMessageBoxProvider(
    std::shared_ptr<MessageBoxProvider> provider) {
  std::lock_guard lock(g_provider_mutex);
  std::swap(provider, g_provider);
  return provider;
}

}  // namespace vyn

int MessageBoxW(HWND owner, const WCHAR* text, const WCHAR* caption, UINT type) {
  // Held for the whole question, so replacing the provider meanwhile
  // cannot destroy it under the open box.
  std::shared_ptr<vyn::MessageBoxProvider> provider = vyn::CurrentProvider();
  if (!provider)
    return vyn::DefaultAnswer(type);
  vyn::MessageBoxRequest request{owner, text ? text : u"", caption ? caption : u"Error", type};
  return provider->Show(request);
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type) {
  std::u16string wide_text = vyn::AnsiToWide(text ? text : "");
  std::u16string wide_caption = caption ? vyn::AnsiToWide(caption) : u"";
  return MessageBoxW(owner, wide_text.c_str(), caption ? wide_caption.c_str() : nullptr, type);
}
