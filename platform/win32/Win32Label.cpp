#include "platform/win32/Win32Label.h"

#include <algorithm>

#include "platform/win32/Text.h"

namespace swfsaver::win32 {

std::string Win32Label::Text() {
  int length = GetWindowTextLengthW(window_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(window_, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return WideToUtf8(text);
}

void Win32Label::SetText(const std::string& utf8) {
  SetWindowTextW(window_, Utf8ToWide(utf8).c_str());
}

}  // namespace swfsaver::win32
