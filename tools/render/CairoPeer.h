// The renderer's peer in render_bench: the same fills and strokes drawn through cairo's image
// surface. The canvas below records each call as the outline our renderer rasterises (the
// flattened path, a stroke's outline) with its paint, so both draw the same polygons with the
// same paints, and only rasterising and painting are compared.
#pragma once

#include <memory>
#include <vector>

#include "swfplayer/render/Canvas.h"
#include "swfplayer/render/Contours.h"
#include "swfplayer/render/OutlineCache.h"

namespace swfsaver::tools {

class CairoPeer final : public swfplayer::render::Canvas {
 public:
  // Whether this build has cairo.
  static bool Available();

  CairoPeer(int width, int height);
  ~CairoPeer() override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  // Records; Draw plays what was recorded.
  void Clear(swfplayer::Rgba color) override;
  void FillPath(const swfplayer::Path& path, const swfplayer::Matrix& toDevice,
                swfplayer::FillRule rule, const swfplayer::Paint& paint,
                const swfplayer::ColorTransform& colorTransform) override;
  void StrokePath(const swfplayer::Path& path, const swfplayer::Matrix& toDevice,
                  const swfplayer::StrokeStyle& stroke, const swfplayer::Paint& paint,
                  const swfplayer::ColorTransform& colorTransform) override;
  // Masks are not played: the scenes timed have none (MaskCalls says whether one had).
  void BeginMask() override { ++maskCalls_; }
  void EndMask() override {}
  void PopMask() override {}

  // Draws the recorded items into out (width * height premultiplied pixels) through cairo.
  void Draw(uint32_t* out);
  size_t Items() const { return items_.size(); }
  int MaskCalls() const { return maskCalls_; }

 private:
  struct Item {
    swfplayer::render::Contours contours;  // device pixels
    swfplayer::FillRule rule;
    swfplayer::Paint paint;
    swfplayer::Matrix toDevice;
    swfplayer::ColorTransform colorTransform;
    bool clear = false;
    swfplayer::Rgba clearColor;
  };
  void Add(const swfplayer::render::Outline& outline, swfplayer::FillRule rule,
           const swfplayer::Paint& paint, const swfplayer::Matrix& toDevice,
           const swfplayer::ColorTransform& colorTransform);

  int width_, height_;
  int maskCalls_ = 0;
  std::vector<Item> items_;
  swfplayer::render::OutlineCache outlines_;
  swfplayer::render::Contours spare_;
};

}  // namespace swfsaver::tools
