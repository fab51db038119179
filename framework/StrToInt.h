// Text to a signed 32-bit integer, with the forms the program's framework accepts: optional
// leading blanks, an optional sign, then decimal digits in the signed 32-bit range, or a
// hexadecimal number introduced by "$", "x", "X", "0x" or "0X".
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/CodePage.h"

namespace swfsaver {

std::optional<int32_t> TryStrToInt(std::string_view text);

// As TryStrToInt; raises EConvertError "'%s' は整数ではありません" for any other text.
int32_t StrToInt(std::string_view text, const platform::CodePage& codePage);

}  // namespace swfsaver
