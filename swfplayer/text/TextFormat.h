// The character and paragraph format of text, as ActionScript's TextFormat has it: every
// property may be unset (a script's new TextFormat, or a range whose characters differ).
// Sizes, margins, indents, leading and tab stops are in pixels, as scripts see them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace swfplayer::text {

enum class Align : uint8_t { kLeft, kRight, kCenter, kJustify };

struct TextFormat {
  std::optional<std::u16string> font;
  std::optional<double> size;
  std::optional<uint32_t> color;  // 0xRRGGBB
  std::optional<bool> bold;
  std::optional<bool> italic;
  std::optional<bool> underline;
  std::optional<std::u16string> url;
  std::optional<std::u16string> target;
  std::optional<Align> align;
  std::optional<double> leftMargin;
  std::optional<double> rightMargin;
  std::optional<double> indent;
  std::optional<double> blockIndent;
  std::optional<double> leading;
  std::optional<bool> bullet;
  std::optional<std::vector<double>> tabStops;
  std::optional<double> letterSpacing;
  std::optional<bool> kerning;

  bool operator==(const TextFormat&) const = default;

  // Each property set in `over` replaces this one's.
  void Apply(const TextFormat& over);
  // Keeps the properties both formats have equal; the others become unset.
  void Intersect(const TextFormat& other);
  // Every property set: what a text field's characters carry.
  static TextFormat Defaults();
};

}  // namespace swfplayer::text
