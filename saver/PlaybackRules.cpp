#include "saver/PlaybackRules.h"

#include <algorithm>
#include <cstdint>

namespace swfsaver {

int32_t NextMovieIndex(int32_t current, int32_t count) {
  return current < count - 1 ? current + 1 : 0;
}

namespace {
// The difference is taken in 64 bits: frame sizes go up to (2^31 - 1) / 20 pixels.
int32_t CentredOffset(int32_t display, int32_t frame) {
  return static_cast<int32_t>((static_cast<int64_t>(display) - frame) / 2);
}
}  // namespace

ControlRect CentredControlRect(int32_t displayWidth, int32_t displayHeight, int32_t frameWidth,
                               int32_t frameHeight) {
  return ControlRect{CentredOffset(displayWidth, frameWidth),
                     CentredOffset(displayHeight, frameHeight), frameWidth, frameHeight};
}

int32_t ToDisplayPixels(int32_t frameSize, int32_t dpi) {
  if (dpi <= 96) return frameSize;
  const int64_t scaled = (static_cast<int64_t>(frameSize) * dpi + 48) / 96;
  return static_cast<int32_t>(std::min<int64_t>(scaled, INT32_MAX));
}

}  // namespace swfsaver
