#include "standin/flash/format/Styles.h"

namespace swfsaver::flash::format {

render::Paint MakePaint(const FillStyle& style, const BitmapLookup& lookup) {
  if (const auto* color = std::get_if<render::Rgba>(&style)) return *color;
  if (const auto* gradient = std::get_if<render::Gradient>(&style)) {
    if (gradient->stops.empty()) return render::Rgba{0, 0, 0, 0};
    return *gradient;
  }
  const auto& fill = std::get<BitmapFillStyle>(style);
  std::shared_ptr<const render::Bitmap> bitmap = lookup ? lookup(fill.bitmapId) : nullptr;
  if (!bitmap || bitmap->width <= 0 || bitmap->height <= 0) return render::Rgba{0, 0, 0, 0};
  return render::BitmapFill{std::move(bitmap), fill.matrix, fill.repeat, fill.smooth};
}

}  // namespace swfsaver::flash::format
