#include "swfplayer/format/Filters.h"

#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {

// Moves past one filter by its layout; false for an unknown filter, whose length nothing
// tells.
bool SkipFilter(Reader& in) {
  // The common tail of the shadow, glow and bevel filters: blur x and y, angle, distance
  // (fixed 16.16), strength (8.8) and a flags byte.
  switch (in.U8()) {
    case 0: return in.Skip(4 + 4 + 4 + 4 + 4 + 2 + 1);  // drop shadow: colour, then the tail
    case 1: return in.Skip(4 + 4 + 1);                  // blur: x, y, passes
    case 2: return in.Skip(4 + 4 + 4 + 2 + 1);          // glow: colour, x, y, strength, flags
    case 3: return in.Skip(4 + 4 + 4 + 4 + 4 + 4 + 2 + 1);  // bevel: two colours, the tail
    case 4:
    case 7: {  // gradient glow and gradient bevel: colours and ratios, then the tail
      const uint8_t colors = in.U8();
      return in.Skip(colors * 5u + 4 + 4 + 4 + 4 + 2 + 1);
    }
    case 5: {  // convolution: a matrix of floats between its header and default colour
      const uint8_t columns = in.U8();
      const uint8_t rows = in.U8();
      return in.Skip(4 + 4 + 4u * columns * rows + 4 + 1);
    }
    case 6: return in.Skip(20 * 4);  // colour matrix
    default: return false;
  }
}

}  // namespace

bool SkipFilterList(Reader& in) {
  const uint8_t count = in.U8();
  for (unsigned i = 0; i < count && in.Ok(); ++i) {
    if (!SkipFilter(in)) return false;
  }
  return in.Ok();
}

}  // namespace swfplayer::format
