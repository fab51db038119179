// Device text's fonts: a face name as a movie writes it (`_sans`, `Arial`, `MS Gothic`) made
// into a chain of installed faces. The generic names stand for Windows' faces (`_sans` Arial,
// `_serif` Times New Roman, `_typewriter` Courier New, the Japanese `_ゴシック`, `_等幅` and
// `_明朝` MS Gothic and MS Mincho); a face that is not installed falls back to the generic
// family its name suggests (sans by default); a character the face lacks is taken from sans,
// then from a Japanese face, so Japanese text shows in any face.
//
// Outlines are cached per face: at most kMaxCachedGlyphs glyphs each (about 200 KiB of
// outlines for a Latin face), dropped all together when full, and at most kMaxChains faces
// asked for; texts hold the outlines they placed, so dropping never breaks one. The renderer
// keeps each outline flattened at each size it is drawn at (render/OutlineCache.h).
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "swfplayer/text/FontSource.h"
#include "swfplayer/text/LayoutFont.h"

namespace swfplayer::text {

enum class GenericFamily { kSans, kSerif, kTypewriter, kGothic, kMincho };

class DeviceFonts {
 public:
  static constexpr size_t kMaxCachedGlyphs = 4096;
  static constexpr size_t kMaxChains = 64;

  // Without a source every device text is left undrawn.
  explicit DeviceFonts(FontSource* source) : source_(source) {}

  // Never null: a chain whose faces are all missing finds no glyph.
  std::shared_ptr<const LayoutFont> Font(std::u16string_view name, bool bold, bool italic);

  // The generic family a face name stands for, or falls back to when not installed.
  static GenericFamily FamilyOf(std::u16string_view name, bool* generic = nullptr);

 private:
  std::shared_ptr<const DeviceFace> Open(const std::string& family, bool bold, bool italic);

  FontSource* source_;
  std::map<std::tuple<std::u16string, bool, bool>, std::shared_ptr<const LayoutFont>> chains_;
  std::map<std::tuple<std::string, bool, bool>, std::shared_ptr<const DeviceFace>> faces_;
};

}  // namespace swfplayer::text
