// The system's ANSI code page (Shift-JIS on the target systems). Every question about it goes
// through here, so tests can point the logic at Shift-JIS.
#pragma once

#include <cstdint>
#include <optional>
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
  // UTF-8 text in the ANSI code page, or nothing when a character has no exact counterpart
  // there: the system's own conversion would put "?" or a look-alike in its place, and a path
  // so changed names another file or none.
  virtual std::optional<std::string> Utf8ToAnsi(std::string_view utf8) const = 0;
};

}  // namespace swfsaver::platform
