#include "standin/flash/format/DisplayTags.h"

#include "standin/flash/format/Reader.h"

namespace swfsaver::flash::format {
namespace {

// Moves past one filter of a PlaceObject3 filter list by its layout; false for an unknown
// filter, whose length nothing tells.
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

std::optional<PlaceObject> DecodePlaceObject(std::span<const uint8_t> body, int version) {
  Reader in(body);
  PlaceObject place;
  place.version = version;
  if (version == 1) {
    place.characterId = in.U16();
    place.depth = in.U16();
    place.matrix = in.Matrix();
    if (!in.Ok()) return std::nullopt;
    if (in.RemainingBytes() > 0) {
      const render::ColorTransform cx = in.ColorTransform(false);
      if (in.Ok()) place.colorTransform = cx;
    }
    return place;
  }
  const uint8_t flags = in.U8();
  const uint8_t flags3 = version >= 3 ? in.U8() : 0;
  place.move = flags & 0x01;
  place.depth = in.U16();
  if (flags3 & 0x08) in.String();  // class name
  if (flags & 0x02) place.characterId = in.U16();
  if (flags & 0x04) place.matrix = in.Matrix();
  if (flags & 0x08) place.colorTransform = in.ColorTransform(true);
  if (flags & 0x10) place.ratio = in.U16();
  if (flags & 0x20) place.name = in.String();
  if (flags & 0x40) place.clipDepth = in.U16();
  if (!in.Ok()) return std::nullopt;
  if (version < 3) return place;  // clip actions, if any, come last

  if (flags3 & 0x01) {
    const uint8_t count = in.U8();
    for (unsigned i = 0; i < count && in.Ok(); ++i) {
      if (!SkipFilter(in)) return place;
    }
  }
  const std::optional<uint8_t> blend = (flags3 & 0x02) ? std::optional(in.U8()) : std::nullopt;
  if (flags3 & 0x04) in.U8();  // cache as bitmap
  const std::optional<bool> visible =
      (flags3 & 0x20) ? std::optional(in.U8() != 0) : std::nullopt;
  if (in.Ok()) {
    place.blendMode = blend;
    place.visible = visible;
  }
  return place;
}

std::optional<RemoveObject> DecodeRemoveObject(std::span<const uint8_t> body, int version) {
  Reader in(body);
  RemoveObject remove;
  if (version == 1) remove.characterId = in.U16();
  remove.depth = in.U16();
  if (!in.Ok()) return std::nullopt;
  return remove;
}

std::optional<std::string> DecodeFrameLabel(std::span<const uint8_t> body) {
  Reader in(body);
  std::string label = in.String();
  if (!in.Ok()) return std::nullopt;
  return label;
}

}  // namespace swfsaver::flash::format
