#include "tests/fakes/FakeCodePage.h"

#include <iconv.h>

#include <cerrno>
#include <optional>
#include <stdexcept>
#include <string>

namespace swfsaver::fakes {

namespace {
std::string Convert(const char* to, const char* from, std::string_view text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string input(text);
  std::string output(input.size() * 4 + 4, '\0');
  char* in = input.data();
  size_t inLeft = input.size();
  char* out = output.data();
  size_t outLeft = output.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1)) {
      // An invalid sequence becomes "?", as the system's conversion substitutes it.
      ++in;
      --inLeft;
      *out++ = '?';
      --outLeft;
    }
  }
  iconv_close(cd);
  output.resize(output.size() - outLeft);
  return output;
}

// Nothing when a character has no counterpart in the target: no substitution, no look-alike.
std::optional<std::string> ConvertExactly(const char* to, const char* from, std::string_view text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  std::string input(text);
  std::string output(input.size() * 4 + 4, '\0');
  char* in = input.data();
  size_t inLeft = input.size();
  char* out = output.data();
  size_t outLeft = output.size();
  const bool exact = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1) &&
                     iconv(cd, nullptr, nullptr, &out, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  if (!exact) return std::nullopt;
  output.resize(output.size() - outLeft);
  return output;
}
}  // namespace

bool FakeCodePage::IsLeadByte(uint8_t byte) const {
  if (kind_ == Kind::Western) return false;
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string FakeCodePage::AnsiToUtf8(std::string_view ansi) const {
  return Convert("UTF-8", kind_ == Kind::Western ? "CP1252" : "CP932", ansi);
}

std::optional<std::string> FakeCodePage::Utf8ToAnsi(std::string_view utf8) const {
  return ConvertExactly(kind_ == Kind::Western ? "CP1252" : "CP932", "UTF-8", utf8);
}

std::string ShiftJis(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8); }

}  // namespace swfsaver::fakes
