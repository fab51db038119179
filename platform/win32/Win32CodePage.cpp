#include <windows.h>

#include "platform/win32/Text.h"
#include "platform/win32/Win32CodePage.h"

namespace swfsaver::win32 {

bool Win32CodePage::IsLeadByte(uint8_t byte) const { return IsDBCSLeadByte(byte) != FALSE; }

std::string Win32CodePage::AnsiToUtf8(std::string_view ansi) const {
  return WideToUtf8(AnsiToWide(ansi));
}

std::string Win32CodePage::Utf8ToAnsi(std::string_view utf8) const {
  return WideToAnsi(Utf8ToWide(utf8));
}

}  // namespace swfsaver::win32
