// DefineEditText: a text field, with every field of the tag. Strings are kept as the movie
// wrote them (UTF-8 from SWF 6 on, the ANSI code page before); the text layer decodes them.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "swfplayer/movie/SwfMovie.h"
#include "swfplayer/types/Geometry.h"

namespace swfplayer::format {

enum class TextAlign : uint8_t { kLeft = 0, kRight = 1, kCenter = 2, kJustify = 3 };

// Margins, indent and leading in twips.
struct EditTextLayout {
  TextAlign align = TextAlign::kLeft;
  uint16_t leftMargin = 0;
  uint16_t rightMargin = 0;
  uint16_t indent = 0;
  int16_t leading = 0;
};

struct EditTextDefinition {
  uint16_t id = 0;
  TwipsRect bounds;
  bool wordWrap = false;
  bool multiline = false;
  bool password = false;
  bool readOnly = false;
  bool autoSize = false;
  bool noSelect = false;
  bool border = false;     // a border and a background
  bool wasStatic = false;
  bool html = false;
  bool useOutlines = false;  // the font's own glyphs; otherwise a device font draws it
  std::optional<uint16_t> fontId;
  std::optional<std::string> fontClass;
  uint16_t height = 0;  // the font's EM square in twips (with a font or font class)
  std::optional<Rgba> color;
  std::optional<uint16_t> maxLength;
  std::optional<EditTextLayout> layout;
  std::string variableName;
  std::optional<std::string> initialText;
};

// Nothing for a tag that breaks off before its variable name; a tag that breaks off in its
// initial text has none.
std::optional<EditTextDefinition> DecodeEditText(std::span<const uint8_t> body);

}  // namespace swfplayer::format
