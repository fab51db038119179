// The ANSI code page of the native tools and tests, through iconv: Windows-1252 unless told
// otherwise (what a Western Windows, where the reference outputs were made, decodes with).
// Native only: the control decodes with MultiByteToWideChar.
#pragma once

#include <string>

#include "swfplayer/movie/TextDecoding.h"

namespace swfplayer {

class IconvAnsiDecoder final : public AnsiDecoder {
 public:
  explicit IconvAnsiDecoder(std::string codePage = "CP1252") : codePage_(std::move(codePage)) {}
  // Bytes the code page does not map become U+FFFD; without iconv's converter, Latin-1.
  std::u16string Decode(std::string_view bytes) const override;

 private:
  std::string codePage_;
};

}  // namespace swfplayer
