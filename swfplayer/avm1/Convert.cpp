#include "swfplayer/avm1/Convert.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace swfplayer::avm1 {

namespace {

// value * 10^exponent by repeated squaring, multiplying up or dividing down as the Flash
// Player does: its digits come out of exactly these roundings.
double DecimalShift(double value, int64_t exponent) {
  double base = 10.0;
  if (exponent > 0) {
    for (; exponent > 0; exponent >>= 1, base *= base) {
      if (exponent & 1) value *= base;
    }
  } else {
    for (uint64_t down = static_cast<uint64_t>(-exponent); down > 0; down >>= 1, base *= base) {
      if (down & 1) value /= base;
    }
  }
  return value;
}

// The decimal exponent of a positive finite number, and its digits' source: n / 10^e in [1, 10).
int DecimalExponent(double n, double& mantissa) {
  int binary = static_cast<int>((std::bit_cast<uint64_t>(n) >> 52) & 0x7FF) - 1023;
  if (binary == -1023) {  // subnormal: scale into the normal range to read the exponent
    binary = static_cast<int>((std::bit_cast<uint64_t>(n * 18014398509481984.0) >> 52) & 0x7FF) - 1023 - 54;
  }
  constexpr double kLog10Of2 = 0.301029995663981;  // the precision the Flash Player uses
  int exponent = static_cast<int>(std::round(binary * kLog10Of2));
  mantissa = DecimalShift(n, -exponent);
  if (static_cast<int>(mantissa) == 0) {
    --exponent;
    mantissa = DecimalShift(n, -exponent);
  }
  if (static_cast<int>(mantissa) >= 10) {
    ++exponent;
    mantissa = DecimalShift(n, -exponent);
  }
  return exponent;
}

bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

// An integer in radix 8 or 16 with an optional sign, wrapping at 32 bits as the Flash
// Player's does; NaN when a character is not a digit of the radix or there is none.
double ParseWrappedInteger(std::u16string_view text, int radix) {
  bool negative = false;
  if (!text.empty() && (text[0] == u'-' || text[0] == u'+')) {
    negative = text[0] == u'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::numeric_limits<double>::quiet_NaN();
  uint32_t value = 0;
  for (char16_t unit : text) {
    int digit;
    if (IsDigit(unit)) {
      digit = unit - u'0';
    } else if (unit >= u'a' && unit <= u'z') {
      digit = unit - u'a' + 10;
    } else if (unit >= u'A' && unit <= u'Z') {
      digit = unit - u'A' + 10;
    } else {
      return std::numeric_limits<double>::quiet_NaN();
    }
    if (digit >= radix) return std::numeric_limits<double>::quiet_NaN();
    value = value * radix + digit;
  }
  const auto result = static_cast<int32_t>(negative ? 0u - value : value);
  return static_cast<double>(result);
}

// The decimal parser: strict fails on what follows the number.
double ParseDecimal(std::u16string_view text, bool strict) {
  size_t i = 0;
  while (i < text.size() && IsNumberSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  const size_t afterSign = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  int64_t exponent = static_cast<int64_t>(i - afterSign) - 1;
  if (i < text.size() && text[i] == u'.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
  }
  if (i == afterSign) return std::numeric_limits<double>::quiet_NaN();
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negativeExponent = text[i++] == u'-';
    int32_t written = 0;
    while (i < text.size() && IsDigit(text[i])) {
      written = static_cast<int32_t>(static_cast<uint32_t>(written) * 10u + static_cast<uint32_t>(text[i] - u'0'));
      ++i;
    }
    exponent += negativeExponent ? -static_cast<int64_t>(written) : written;
  }
  if (strict && i != text.size()) return std::numeric_limits<double>::quiet_NaN();
  double result = 0;
  for (size_t j = afterSign; j < text.size(); ++j) {
    if (IsDigit(text[j])) {
      result += DecimalShift(text[j] - u'0', exponent);
      --exponent;
    } else if (text[j] != u'.') {
      break;
    }
  }
  return negative ? -result : result;
}

}  // namespace

bool IsNumberSpace(char16_t unit) { return unit == u' ' || (unit >= 0x09 && unit <= 0x0D); }

std::string NumberToString(double n) {
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
  if (n == 0) return "0";
  if (n >= -2147483648.0 && n <= 2147483647.0 && n == std::trunc(n)) {
    return std::to_string(static_cast<int32_t>(n));
  }
  std::string out;
  const bool negative = n < 0;
  if (negative) {
    out.push_back('-');
    n = -n;
  }
  double mantissa = 0;
  int exponent = DecimalExponent(n, mantissa);
  const auto digit = [&mantissa]() {
    const int d = static_cast<int>(mantissa);
    mantissa = (mantissa - d) * 10.0;
    return static_cast<char>('0' + d);
  };
  constexpr int kDigits = 15;
  // A leading '0' leaves room for a carry out of the rounding (trimmed at the end); the
  // exponent form has none, which is the Flash Player's own (-9999999999999999 prints "-e+16").
  if (exponent >= kDigits) {
    out.push_back(digit());
    out.push_back('.');
    for (int i = 0; i < kDigits - 1; ++i) out.push_back(digit());
  } else if (exponent >= 0) {
    out.push_back('0');
    for (int i = 0; i <= exponent; ++i) out.push_back(digit());
    out.push_back('.');
    for (int i = 0; i < kDigits - exponent - 1; ++i) out.push_back(digit());
    exponent = 0;
  } else if (exponent >= -5) {
    out += "00.";
    out.append(static_cast<size_t>(-exponent - 1), '0');
    for (int i = 0; i < kDigits; ++i) out.push_back(digit());
    exponent = 0;
  } else {
    out.push_back('0');
    const char first = digit();
    if (first != '0') out.push_back(first);
    out.push_back('.');
    for (int i = 0; i < kDigits - 1; ++i) out.push_back(digit());
  }
  // Half away from zero on the next digit, carrying over nines.
  if (digit() >= '5') {
    for (size_t i = out.size(); i-- > 0;) {
      if (out[i] == '9') {
        out[i] = '0';
      } else if (out[i] >= '0') {
        ++out[i];
        break;
      }
    }
  }
  while (!out.empty() && out.back() == '0') out.pop_back();
  if (!out.empty() && out.back() == '.') out.pop_back();
  if (exponent != 0) {
    const size_t firstNonZero = out.find_first_not_of('0');
    out.erase(0, firstNonZero == std::string::npos ? out.size() : firstNonZero);
    if (out.empty()) {
      out.assign(1, '1');  // 9.999... rounded to nothing: the carry became the digit
      ++exponent;
    } else {
      const size_t lastNonZero = out.find_last_not_of('0');
      if (lastNonZero == 0 || lastNonZero == std::string::npos) {
        exponent += static_cast<int>(out.size()) - 1;
        out.resize(1);
      }
    }
    out += exponent > 0 ? "e+" : "e-";
    out += std::to_string(exponent > 0 ? exponent : -exponent);
  }
  // Drop the carry's room when the carry did not use it.
  const size_t first = negative ? 1 : 0;
  if (out.size() > first + 1 && out[first] == '0' && out[first + 1] != '.') {
    if (negative) out[1] = '-';
    out.erase(0, 1);
  }
  return out;
}

std::string NumberToRadixString(double number, int radix) {
  if (radix == 10 || radix < 2 || radix > 36) return NumberToString(number);
  // Other radixes print the integer part, saturated to 32 bits (NaN as 0).
  int64_t value = 0;
  if (!std::isnan(number)) value = static_cast<int64_t>(std::clamp(number, -2147483648.0, 2147483647.0));
  const bool negative = value < 0;
  uint64_t magnitude = static_cast<uint64_t>(negative ? -value : value);
  std::string digits;
  do {
    const auto d = static_cast<int>(magnitude % static_cast<uint64_t>(radix));
    digits.insert(digits.begin(), static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10));
    magnitude /= static_cast<uint64_t>(radix);
  } while (magnitude != 0);
  return negative ? "-" + digits : digits;
}

double StringToNumber(std::u16string_view text, uint8_t swfVersion) {
  if (swfVersion >= 6) {
    std::u16string_view rest = text;
    if (!rest.empty() && (rest[0] == u'+' || rest[0] == u'-')) rest.remove_prefix(1);
    if (!rest.empty() && rest[0] == u'0') {
      if (rest.size() > 1 && (rest[1] == u'x' || rest[1] == u'X')) {
        // The prefix is skipped from the start of the text: a signed hexadecimal number
        // does not parse, as in the Flash Player.
        return ParseWrappedInteger(text.substr(2), 16);
      }
      bool octal = true;
      for (size_t i = 1; i < rest.size() && octal; ++i) octal = rest[i] >= u'0' && rest[i] <= u'7';
      if (octal) return ParseWrappedInteger(text, 8);
    }
  }
  const bool strict = swfVersion >= 5;
  const double result = ParseDecimal(text, strict);
  return !strict && std::isnan(result) ? 0.0 : result;
}

double ParseFloatPrefix(std::u16string_view text) { return ParseDecimal(text, false); }

int32_t DoubleToInt32(double number) { return static_cast<int32_t>(DoubleToUint32(number)); }

uint32_t DoubleToUint32(double number) {
  if (!std::isfinite(number)) return 0;
  if (number >= 0 && number < 4294967296.0) return static_cast<uint32_t>(number);
  if (number > -2147483649.0 && number < 0) return static_cast<uint32_t>(static_cast<int64_t>(number));
  double wrapped = std::fmod(std::trunc(number), 4294967296.0);
  if (wrapped < 0) wrapped += 4294967296.0;
  return static_cast<uint32_t>(wrapped);
}

}  // namespace swfplayer::avm1
