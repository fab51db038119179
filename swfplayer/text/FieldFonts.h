// Which font a field's text is drawn in: with embedded fonts (the tag's "use outlines", a
// script's embedFonts) the movie's font of that name and style, without them the device font
// of that name. A field with embedded fonts whose font the movie lacks draws nothing, as in the
// Flash Player.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "swfplayer/text/DeviceFonts.h"
#include "swfplayer/text/EmbeddedFont.h"
#include "swfplayer/text/Layout.h"

namespace swfplayer::text {

// A movie's embedded fonts by name (without case) and style; only fonts with outlines.
class EmbeddedFonts {
 public:
  void Add(std::u16string_view name, std::shared_ptr<const EmbeddedFont> font);
  // The font of that name and style, or of that name in another style; null without one.
  std::shared_ptr<const EmbeddedFont> Find(std::u16string_view name, bool bold, bool italic) const;

 private:
  std::map<std::u16string, std::vector<std::shared_ptr<const EmbeddedFont>>> byName_;
};

class FieldFonts final : public FontResolver {
 public:
  // preferred: the font the field's tag names, taken first for its name and style.
  FieldFonts(const EmbeddedFonts* embedded, DeviceFonts* device, bool useEmbedded,
             std::shared_ptr<const EmbeddedFont> preferred = nullptr, std::u16string preferredName = {})
      : embedded_(embedded), device_(device), useEmbedded_(useEmbedded),
        preferred_(std::move(preferred)), preferredName_(std::move(preferredName)) {}

  std::shared_ptr<const LayoutFont> Resolve(const TextFormat& format) override;
  void SetUseEmbedded(bool use) { useEmbedded_ = use; }
  bool UseEmbedded() const { return useEmbedded_; }

 private:
  const EmbeddedFonts* embedded_;
  DeviceFonts* device_;
  bool useEmbedded_;
  std::shared_ptr<const EmbeddedFont> preferred_;
  std::u16string preferredName_;
};

}  // namespace swfplayer::text
