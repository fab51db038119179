// The Flash Player's own case mapping of UTF-16 units (toLowerCase, toUpperCase, and sort's
// CASEINSENSITIVE): simple one-to-one mappings of an older Unicode, with the player's quirks
// (final sigma upper-cases to U+03A2, dotless i to I, Georgian capitals lower-case but not
// back). Units outside the tables stay as they are; surrogates are never mapped.
#pragma once

namespace swfplayer::avm1 {

char16_t FlashToLower(char16_t unit);
char16_t FlashToUpper(char16_t unit);

}  // namespace swfplayer::avm1
