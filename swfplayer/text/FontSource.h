// Device fonts: the faces the system has, handed to the engine as an injected source, as the
// image and MP3 decoders are (FreeType with Debian's fonts in the native tools and tests, GDI's
// unhinted glyph outlines in the control). A face gives outlines, advances, kerning and its
// ascent and descent, all in the units SWF fonts use: 1024 to the EM, y down, so that device
// and embedded glyphs are placed by the same code.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "swfplayer/types/Path.h"

namespace swfplayer::text {

inline constexpr double kDeviceEmUnits = 1024.0;

struct DeviceGlyph {
  Path outline;          // filled non-zero, as TrueType outlines are; empty for a space
  double advance = 0;    // units the pen moves right
};

class DeviceFace {
 public:
  virtual ~DeviceFace() = default;
  // Whether the face has a glyph of its own for the character (not its .notdef).
  virtual bool HasGlyph(char32_t character) const = 0;
  // Nothing when the face has no glyph for the character.
  virtual std::optional<DeviceGlyph> Glyph(char32_t character) const = 0;
  // Units added to the advance between the pair (0 without a kerning pair).
  virtual double Kerning(char32_t left, char32_t right) const = 0;
  // Above and below the baseline, as the system's text metrics give them (Windows' ascent
  // and descent), in units.
  virtual double Ascent() const = 0;
  virtual double Descent() const = 0;
};

class FontSource {
 public:
  virtual ~FontSource() = default;
  // The installed face of this family (a name as a movie writes it, UTF-8: "Arial",
  // "MS Gothic"), in the style asked for or the nearest the family has; null when the system
  // has no such family. The source decides what its names stand for; the generic names
  // (`_sans` ...) are resolved above it (DeviceFonts.h).
  virtual std::shared_ptr<const DeviceFace> Open(std::string_view family, bool bold, bool italic) = 0;
  // The installed families' names (UTF-8), for scripts that ask which fonts there are.
  virtual std::vector<std::string> Families() { return {}; }
};

}  // namespace swfplayer::text
