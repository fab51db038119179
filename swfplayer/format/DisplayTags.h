// The control tags that change a timeline's display list, and FrameLabel, decoded to plain
// structs: PlaceObject, PlaceObject2, PlaceObject3, RemoveObject, RemoveObject2.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include <vector>

#include "swfplayer/types/Effects.h"
#include "swfplayer/types/Geometry.h"

namespace swfplayer::format {

struct PlaceObject {
  int version = 2;     // 1 to 3
  uint16_t depth = 0;
  bool move = false;   // modify the object at depth (and replace its character, if given)
  std::optional<uint16_t> characterId;
  std::optional<Matrix> matrix;
  std::optional<ColorTransform> colorTransform;
  std::optional<uint16_t> ratio;
  std::optional<std::string> name;
  std::optional<uint16_t> clipDepth;
  // PlaceObject3: set when the tag carries them.
  std::optional<std::vector<Filter>> filters;
  std::optional<uint8_t> blendMode;
  std::optional<bool> cacheAsBitmap;
  std::optional<bool> visible;
  // The CLIPACTIONS record of a PlaceObject2 or PlaceObject3, as where it lies in the tag's body
  // (ClipActions.h decodes it); empty when there is none.
  size_t clipActionsOffset = 0;
  size_t clipActionsSize = 0;
  bool operator==(const PlaceObject&) const = default;
};

struct RemoveObject {
  uint16_t depth = 0;
  std::optional<uint16_t> characterId;  // RemoveObject (version 1) names it; the depth decides
  bool operator==(const RemoveObject&) const = default;
};

// version 1 to 3 from the tag code. Nothing when the tag ends before the fields that say what
// to place where; fields of PlaceObject3 that come after a damaged filter list stay unset.
std::optional<PlaceObject> DecodePlaceObject(std::span<const uint8_t> body, int version);
std::optional<RemoveObject> DecodeRemoveObject(std::span<const uint8_t> body, int version);
std::optional<std::string> DecodeFrameLabel(std::span<const uint8_t> body);

}  // namespace swfplayer::format
