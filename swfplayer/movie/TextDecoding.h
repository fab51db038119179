// Strings in a movie are UTF-8 from SWF 6 on; before it they are bytes in the ANSI code page of
// the system that plays the movie (Shift-JIS on a Japanese Windows, 1252 on a Western one).
// The code page is the system's, so its decoder is handed in: MultiByteToWideChar in the
// control, iconv with a chosen code page in the native tools and tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace swfplayer {

class AnsiDecoder {
 public:
  virtual ~AnsiDecoder() = default;
  virtual std::u16string Decode(std::string_view bytes) const = 0;
};

// Bytes as Latin-1 characters: what a player without the system's code page falls back to.
const AnsiDecoder& Latin1Ansi();

// UTF-8 to UTF-16; a byte that starts no valid sequence becomes U+FFFD.
std::u16string DecodeUtf8(std::string_view bytes);

// A string as the movie of this version means it.
std::u16string DecodeSwfString(std::string_view bytes, uint8_t swfVersion, const AnsiDecoder& ansi);

}  // namespace swfplayer
