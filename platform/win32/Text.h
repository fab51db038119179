// Text where the program meets the system: its own texts are UTF-8 and go to the W functions
// as UTF-16; paths and registry text are ANSI and stay bytes, converted only for display.
#pragma once

#include <string>
#include <string_view>

namespace swfsaver::win32 {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
std::wstring AnsiToWide(std::string_view ansi);  // CP_ACP
std::string WideToAnsi(std::wstring_view wide);  // CP_ACP

}  // namespace swfsaver::win32
