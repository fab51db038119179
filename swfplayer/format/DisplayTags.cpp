#include "swfplayer/format/DisplayTags.h"

#include "swfplayer/format/Filters.h"
#include "swfplayer/format/Reader.h"

namespace swfplayer::format {

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
      const ColorTransform cx = in.ColorTransform(false);
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
  auto keepClipActions = [&] {
    if ((flags & 0x80) && in.Ok()) {
      place.clipActionsOffset = body.size() - in.RemainingBytes();
      place.clipActionsSize = in.RemainingBytes();
    }
  };
  if (version < 3) {
    keepClipActions();  // they come last
    return place;
  }

  if (flags3 & 0x01) {
    place.filters = ReadFilterList(in);
    if (!place.filters) return place;
  }
  const std::optional<uint8_t> blend = (flags3 & 0x02) ? std::optional(in.U8()) : std::nullopt;
  const std::optional<bool> cache =
      (flags3 & 0x04) ? std::optional(in.U8() != 0) : std::nullopt;
  const std::optional<bool> visible =
      (flags3 & 0x20) ? std::optional(in.U8() != 0) : std::nullopt;
  if (flags3 & 0x40) in.U32();  // opaque background
  if (in.Ok()) {
    place.blendMode = blend;
    place.cacheAsBitmap = cache;
    place.visible = visible;
    keepClipActions();
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

}  // namespace swfplayer::format
