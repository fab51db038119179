// Text where the program meets the system: its own texts are UTF-8 and go to the W functions
// as UTF-16; paths and registry text are ANSI and stay bytes, converted only for display. Text
// goes into ANSI only through Win32CodePage::Utf8ToAnsi, which refuses what the code page lacks
// where a plain conversion would write "?" in its place.
#pragma once

#include <string>
#include <string_view>

namespace swfsaver::win32 {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
std::wstring AnsiToWide(std::string_view ansi);  // CP_ACP

}  // namespace swfsaver::win32
