// The texts of the two error reports and of the application title.
#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "platform/CodePage.h"

namespace swfsaver {

// Appends "." when the message is not empty and its last character sorts after "." in byte
// order (the first byte of that character is compared).
std::string WithClosingPeriod(std::string message);

// The message an error shows: its own message, or what() for an error of another kind.
std::string ErrorMessage(const std::exception& error);

// The default error report's text: the message with the closing-period rule.
std::string DefaultErrorReportText(const std::exception& error);

// The last-chance report's text: "<class> がモジュール <module> の <address> で発生しました。"
// CR LF, then the message with the closing-period rule. moduleName is UTF-8.
std::string LastChanceReportText(const std::exception& error, std::string_view moduleName);
inline constexpr const char* kLastChanceCaption = "アプリケーション エラー";

// The program file's name without directory (after the last "\" or ":", lead bytes honoured).
std::string ModuleBaseFileName(std::string_view moduleFileName, const platform::CodePage& cp);

// The application title: the file name cut at its first full stop, every character after the
// first in lower case (ANSI in, ANSI out).
std::string ApplicationTitle(std::string_view moduleFileName, const platform::CodePage& cp);

}  // namespace swfsaver
