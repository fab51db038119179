#include <windows.h>

#include "platform/win32/Text.h"
#include "platform/win32/Win32CodePage.h"

namespace swfsaver::win32 {

bool Win32CodePage::IsLeadByte(uint8_t byte) const { return IsDBCSLeadByte(byte) != FALSE; }

std::string Win32CodePage::AnsiToUtf8(std::string_view ansi) const {
  return WideToUtf8(AnsiToWide(ansi));
}

std::optional<std::string> Win32CodePage::Utf8ToAnsi(std::string_view utf8) const {
  if (utf8.empty()) return std::string();
  const std::wstring wide = Utf8ToWide(utf8);
  const int length = static_cast<int>(wide.size());
  // Where the ANSI code page is UTF-8, only a lone surrogate is lost; the system refuses the
  // used-default flag for that code page and reports the loss as an error instead.
  const bool utf8CodePage = GetACP() == CP_UTF8;
  const DWORD flags = utf8CodePage ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* lossFlag = utf8CodePage ? nullptr : &usedDefault;
  const int needed =
      WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, lossFlag);
  if (needed <= 0 || usedDefault) return std::nullopt;
  std::string ansi(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), length, ansi.data(), needed, nullptr, nullptr);
  return ansi;
}

}  // namespace swfsaver::win32
