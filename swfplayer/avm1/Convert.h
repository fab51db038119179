// The conversions between numbers and strings as the Flash Player does them; those that may
// run script (valueOf, toString) are VmImpl's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace swfplayer::avm1 {

// A number as ActionScript prints it: integers in full, otherwise 15 significant digits,
// rounded half away from zero, with the exponent form (1.5e+20, 1e-7) outside 1e-5..1e15.
std::string NumberToString(double number);
// In another radix (Number.prototype.toString(radix), 2..36): integers only, others as the
// Flash Player does (the integer part).
std::string NumberToRadixString(double number, int radix);

// A string as a number: leading white space, a sign, decimal digits with a point and an
// exponent; from SWF 6 on also 0x hexadecimal and 0 octal integers; before SWF 5 what does
// not parse is 0, from it NaN. Trailing characters make NaN (strict, ToNumber) or are ignored
// (parseFloat).
double StringToNumber(std::u16string_view text, uint8_t swfVersion);
double ParseFloatPrefix(std::u16string_view text);

// ECMAScript's ToInt32 and ToUint32: modulo 2^32, NaN and infinities as 0.
int32_t DoubleToInt32(double number);
uint32_t DoubleToUint32(double number);

// Whether the character is white space as number parsing skips it.
bool IsNumberSpace(char16_t unit);

}  // namespace swfplayer::avm1
