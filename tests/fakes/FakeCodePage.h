// The ANSI code page of a test: a single-byte Western one (Windows-1252 as Latin-1), or
// Shift-JIS (code page 932), converted with iconv.
#pragma once

#include "platform/CodePage.h"

namespace swfsaver::fakes {

class FakeCodePage : public platform::CodePage {
 public:
  enum class Kind { Western, ShiftJis };
  explicit FakeCodePage(Kind kind = Kind::Western) : kind_(kind) {}

  void Set(Kind kind) { kind_ = kind; }
  bool IsLeadByte(uint8_t byte) const override;
  std::string AnsiToUtf8(std::string_view ansi) const override;
  std::optional<std::string> Utf8ToAnsi(std::string_view utf8) const override;

 private:
  Kind kind_;
};

// Shift-JIS bytes of UTF-8 text, for writing test inputs readably.
std::string ShiftJis(std::string_view utf8);

}  // namespace swfsaver::fakes
