// The system's ANSI code page (Shift-JIS on the target systems). Every question about it goes
// through here, so tests can point the logic at Shift-JIS.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace swfsaver::platform {

class CodePage {
 public:
  virtual ~CodePage() = default;

  // IsDBCSLeadByte: the byte starts a double-byte character.
  virtual bool IsLeadByte(uint8_t byte) const = 0;
  // ANSI text to UTF-8, for putting a path or an argument into a message.
  virtual std::string AnsiToUtf8(std::string_view ansi) const = 0;
  // UTF-8 text to ANSI, for storing a message in the registry; a character the code page
  // lacks becomes "?".
  virtual std::string Utf8ToAnsi(std::string_view utf8) const = 0;
};

}  // namespace swfsaver::platform
