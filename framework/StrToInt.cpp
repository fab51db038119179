#include "framework/StrToInt.h"

#include <string>

#include "platform/Exceptions.h"

namespace swfsaver {

namespace {
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Hexadecimal numbers are bit patterns, as the framework reads them: any number of digits
// whose value fits in 32 bits (so at most 8 significant digits; leading zeros are free),
// taken as the two's-complement int32 of that pattern: "$FFFFFFFF" is -1, "$80000000" is the
// smallest int32. A sign in front negates the pattern with the same wrap ("-$1" is -1).
// A value beyond 32 bits is refused rather than cut.
std::optional<uint32_t> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  uint32_t value = 0;
  for (char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0 || value > 0x0FFFFFFFu) return std::nullopt;
    value = (value << 4) | static_cast<uint32_t>(digit);
  }
  return value;
}

// Decimal digits; the value with its sign must lie in the int32 range.
std::optional<int32_t> ParseDecimal(std::string_view digits, bool negative) {
  if (digits.empty()) return std::nullopt;
  const uint64_t limit = negative ? 2147483648u : 2147483647u;
  uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > limit) return std::nullopt;
  }
  const int64_t signedValue = negative ? -static_cast<int64_t>(value) : static_cast<int64_t>(value);
  return static_cast<int32_t>(signedValue);
}
}  // namespace

std::optional<int32_t> TryStrToInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::string_view rest = text.substr(i);
  size_t hexPrefix = 0;
  if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
    hexPrefix = 1;
  } else if (rest.starts_with("0x") || rest.starts_with("0X")) {
    hexPrefix = 2;
  }
  if (hexPrefix == 0) return ParseDecimal(rest, negative);
  const std::optional<uint32_t> pattern = ParseHex(rest.substr(hexPrefix));
  if (!pattern) return std::nullopt;
  const uint32_t value = negative ? 0u - *pattern : *pattern;
  return static_cast<int32_t>(value);
}

int32_t StrToInt(std::string_view text, const platform::CodePage& codePage) {
  if (std::optional<int32_t> value = TryStrToInt(text)) return *value;
  throw EConvertError("'" + codePage.AnsiToUtf8(text) + "' は整数ではありません");
}

}  // namespace swfsaver
