// The movie as loaded: its dictionary of characters (shapes with their paths and paints built
// once, sprites with their timelines, bitmaps) and the root timeline's frames. Immutable while
// it plays; the timelines in Timeline.h are the playing instances.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "standin/flash/format/DisplayTags.h"
#include "standin/flash/movie/SwfMovie.h"
#include "standin/flash/render/Canvas.h"

namespace swfsaver::flash::player {

using ControlTag = std::variant<format::PlaceObject, format::RemoveObject>;

struct TimelineDefinition {
  int frameCount = 1;  // at least 1
  std::vector<std::vector<ControlTag>> frames;  // may be shorter: the frames after are empty
  std::vector<std::pair<std::string, int>> labels;

  const std::vector<ControlTag>* FrameTags(int frame) const {
    return frame >= 0 && static_cast<size_t>(frame) < frames.size() ? &frames[frame] : nullptr;
  }
  // The first frame with this label (compared without case, as the Flash Player does).
  std::optional<int> FrameOfLabel(std::string_view label) const;
};

struct ShapeFill {
  render::Path path;
  render::Paint paint;
};

struct ShapeStroke {
  render::Path path;
  render::StrokeStyle stroke;
  render::Paint paint;
};

// One style layer: its fills, then its strokes, drawn above the layers before it.
struct ShapeLayerPaths {
  std::vector<ShapeFill> fills;
  std::vector<ShapeStroke> strokes;
};

struct ShapeCharacter {
  TwipsRect bounds;
  render::FillRule fillRule = render::FillRule::kEvenOdd;
  std::vector<ShapeLayerPaths> layers;
};

struct SpriteCharacter {
  TimelineDefinition timeline;
};

struct BitmapCharacter {
  std::shared_ptr<const render::Bitmap> bitmap;
};

// Fonts, texts, morph shapes and buttons join this list as they are decoded.
using Character = std::variant<ShapeCharacter, SpriteCharacter, BitmapCharacter>;

class Dictionary {
 public:
  // The first definition of an id wins; a later one with the same id is ignored.
  void Define(uint16_t id, Character character);
  const Character* Find(uint16_t id) const;
  size_t Size() const { return characters_.size(); }

 private:
  std::map<uint16_t, std::unique_ptr<const Character>> characters_;
};

struct MovieDefinition {
  SwfMovie header;  // the frame size, rate, count and version
  std::optional<render::Rgba> background;  // the first SetBackgroundColor
  Dictionary dictionary;
  TimelineDefinition root;
};

}  // namespace swfsaver::flash::player
