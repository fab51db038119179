#include "swfplayer/player/BitmapDrawing.h"

#include <algorithm>
#include <vector>

#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/PlayContext.h"
#include "swfplayer/player/Renderer.h"
#include "swfplayer/render/LayerFilters.h"
#include "swfplayer/render/RasterCanvas.h"

namespace swfplayer::player {
namespace {

Path RectPath(double w, double h) {
  Path rect;
  rect.MoveTo({0, 0});
  rect.LineTo({w, 0});
  rect.LineTo({w, h});
  rect.LineTo({0, h});
  return rect;
}

bool SameNameFolded(std::u16string_view a, std::u16string_view b) {
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}

}  // namespace

bool ApplyBitmapFilter(const Filter& filter, uint32_t* pixels, int width, int height) {
  if (pixels == nullptr || width <= 0 || height <= 0) return false;
  render::FilterScratch scratch;
  render::ApplyFilter(filter, render::FilterScale{}, pixels, width, height, scratch);
  return true;
}

bool DrawIntoBitmap(Bitmap& target, bool transparent, const avm1::BitmapDraw& draw) {
  const int w = target.width, h = target.height;
  if (w <= 0 || h <= 0 || target.pixels.size() < static_cast<size_t>(w) * static_cast<size_t>(h)) return false;
  // Drawn on a copy (the source may be the target itself); only the rectangle goes back.
  std::vector<uint32_t> drawn = target.pixels;
  {
    render::RasterCanvas canvas(drawn.data(), w, h, w, render::Quality::kHigh);
    DisplayEffects effects;
    effects.blendMode = draw.blendMode;
    const bool layer = effects.NeedsLayer() &&
                       canvas.BeginLayer(Matrix{}, draw.colorTransform, effects, render::FilterScale{1, 1});
    const ColorTransform cx = layer ? ColorTransform{} : draw.colorTransform;
    if (draw.clip) {
      // Every clip of a player is one of its DisplayObjects; the clip's coordinates are twips.
      const auto& object = static_cast<const DisplayObject&>(*draw.clip);
      if (!object.Removed()) RenderObjectContent(canvas, object, draw.matrix * Matrix::Scale(0.05, 0.05), cx);
    } else if (draw.bitmap && draw.bitmap->width > 0 && draw.bitmap->height > 0) {
      const BitmapFill fill{draw.bitmap, Matrix{}, /*repeat=*/false, draw.smooth};
      canvas.FillPath(RectPath(draw.bitmap->width, draw.bitmap->height), draw.matrix, FillRule::kNonZero, fill, cx);
    }
    if (layer) canvas.EndLayer();
  }
  const int left = std::clamp(draw.left, 0, w), right = std::clamp(draw.right, left, w);
  const int top = std::clamp(draw.top, 0, h), bottom = std::clamp(draw.bottom, top, h);
  for (int y = top; y < bottom; ++y) {
    const size_t row = static_cast<size_t>(y) * static_cast<size_t>(w);
    for (int x = left; x < right; ++x) {
      const uint32_t pixel = drawn[row + x];
      target.pixels[row + x] = transparent ? pixel : pixel | 0xFF000000u;
    }
  }
  return true;
}

std::shared_ptr<const Bitmap> ExportedBitmap(const PlayContext& context, std::u16string_view name) {
  const auto& exports = context.movie.exports;
  auto found = exports.find(std::u16string(name));
  if (found == exports.end() && !context.caseSensitiveNames) {
    found = std::find_if(exports.begin(), exports.end(),
                         [&](const auto& entry) { return SameNameFolded(entry.first, name); });
  }
  if (found == exports.end()) return nullptr;
  const Character* character = context.dictionary.Find(found->second);
  const auto* bitmap = character ? std::get_if<BitmapCharacter>(character) : nullptr;
  return bitmap ? bitmap->bitmap : nullptr;
}

}  // namespace swfplayer::player
