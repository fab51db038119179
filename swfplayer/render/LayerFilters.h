// The filters of a display object applied to its layer: premultiplied pixels with room around
// the object for everything the filters add (FilterMargins), worked on in place, in the order
// of the list. Lengths (blur sizes, distances) are in stage pixels times the scale given, as
// the Flash Player's filters follow the stage's zoom but not the object's own transform.
#pragma once

#include <cstdint>
#include <vector>

#include "swfplayer/render/BoxBlur.h"
#include "swfplayer/render/Canvas.h"
#include "swfplayer/types/Effects.h"

namespace swfplayer::render {

// How far a filter can draw beyond what it is given, on each side.
struct Margins {
  int left = 0, top = 0, right = 0, bottom = 0;
  Margins operator+(const Margins& o) const {
    return {left + o.left, top + o.top, right + o.right, bottom + o.bottom};
  }
};

Margins FilterMargins(const Filter& filter, FilterScale scale);

// A shadow's offset in whole device pixels.
struct PixelOffset {
  int x = 0, y = 0;
};
PixelOffset ShadowOffset(const ShadowFilter& filter, FilterScale scale);

// Larger convolution matrices are left out, as the Flash Player takes at most 15 x 15.
inline constexpr int kMaxConvolutionSide = 15;

struct FilterScratch {
  BlurScratch blur;
  std::vector<uint8_t> alpha, shifted, behind;
  std::vector<uint32_t> copy;
};

// Applies filter to width x height pixels (rows without padding).
void ApplyFilter(const Filter& filter, FilterScale scale, uint32_t* pixels, int width, int height,
                 FilterScratch& scratch);

}  // namespace swfplayer::render
