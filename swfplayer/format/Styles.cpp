#include "swfplayer/format/Styles.h"

namespace swfplayer::format {

Paint MakePaint(const FillStyle& style, const BitmapLookup& lookup) {
  if (const auto* color = std::get_if<Rgba>(&style)) return *color;
  if (const auto* gradient = std::get_if<Gradient>(&style)) {
    if (gradient->stops.empty()) return Rgba{0, 0, 0, 0};
    return *gradient;
  }
  const auto& fill = std::get<BitmapFillStyle>(style);
  std::shared_ptr<const Bitmap> bitmap = lookup ? lookup(fill.bitmapId) : nullptr;
  if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0) return Rgba{0, 0, 0, 0};
  return BitmapFill{std::move(bitmap), fill.matrix, fill.repeat, fill.smooth};
}

}  // namespace swfplayer::format
