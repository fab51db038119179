// Parts of ANSI file names, found character by character in the system's code page: the trail
// byte of a double-byte character is never taken for "\", ":" or "." (in Shift-JIS, 表 is
// 0x95 0x5C, and its second byte is not a path delimiter).
#pragma once

#include <string_view>

#include "platform/CodePage.h"

namespace swfsaver {

// The text after the last "\" or ":" (all of it when there is neither).
std::string_view ExtractFileName(std::string_view path, const platform::CodePage& codePage);

// The name without its extension, which starts at the last "." (a name without "." is kept).
std::string_view StripExtension(std::string_view name, const platform::CodePage& codePage);

// The name cut at its first ".".
std::string_view CutAtFirstFullStop(std::string_view name, const platform::CodePage& codePage);

// Length in bytes of the character that starts at index (2 for a lead byte followed by a
// trail byte, otherwise 1).
size_t CharLength(std::string_view text, size_t index, const platform::CodePage& codePage);

}  // namespace swfsaver
