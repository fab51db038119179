// The few Unicode questions text layout asks: UTF-16 to code points and UTF-8, case folding
// of names, and which characters a line may break around.
#pragma once

#include <string>
#include <string_view>

namespace swfplayer::text {

std::string ToUtf8(std::u16string_view text);
// ASCII and Latin-1 letters to lower case, for comparing face names and tags.
std::u16string FoldCase(std::u16string_view text);
// The code point at text[i] (a surrogate pair as one), and how many units it takes.
char32_t CodePointAt(std::u16string_view text, size_t i, size_t* units);

// Ideographs, kana and the CJK punctuation and full-width forms: a line may break before and
// after each (within the kinsoku rules below).
bool IsCjk(char32_t c);
// Characters no line may begin with (closing brackets, stops, small kana, the prolonged sound
// mark) or end with (opening brackets).
bool NoBreakBefore(char32_t c);
bool NoBreakAfter(char32_t c);

}  // namespace swfplayer::text
