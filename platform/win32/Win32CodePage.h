// The system's ANSI code page, asked through IsDBCSLeadByte, MultiByteToWideChar and
// WideCharToMultiByte.
#pragma once

#include "platform/CodePage.h"

namespace swfsaver::win32 {

class Win32CodePage : public platform::CodePage {
 public:
  bool IsLeadByte(uint8_t byte) const override;
  std::string AnsiToUtf8(std::string_view ansi) const override;
  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) const override;
};

}  // namespace swfsaver::win32
