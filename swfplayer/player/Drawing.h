// What the drawing API drew in one clip: the commands kept as the records of a shape (each
// style a new entry in the shape's style arrays), made into the renderer's paths only when the
// clip is drawn after a change. A fill is closed back to where it began when it ends, when the
// pen moves away, or when another fill begins, as the Flash Player closes it.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "swfplayer/avm1/DrawCommand.h"
#include "swfplayer/format/Shape.h"
#include "swfplayer/player/Characters.h"

namespace swfplayer::player {

// The edges and style changes one clip may hold; commands past it are ignored until clear().
inline constexpr size_t kMaxDrawingRecords = 100'000;
// The bitmaps its fills may name (a shape's bitmap ids are 16-bit); fills past them are empty.
inline constexpr size_t kMaxDrawingBitmaps = 1'000;

class Drawing {
 public:
  void Apply(const avm1::DrawCommand& command);
  bool Empty() const { return shape_.records.empty(); }
  // The shape as drawn so far (an open fill drawn closed), rebuilt after a change.
  const ShapeCharacter& Shape() const;
  // The box around its edges and strokes, in twips; nothing when it has no edges.
  std::optional<TwipsRect> Bounds() const;

 private:
  format::FillStyle FillStyleOf(const Paint& paint);
  void Record(format::ShapeRecord record);
  void LineTo(Point to, bool stroked);
  void CloseFill();
  void Extend(Point p);

  format::ShapeDefinition shape_;
  Point pen_;
  Point fillStart_;
  bool fillOpen_ = false;
  uint32_t line_ = 0;        // 1-based into shape_.lines, 0 for none
  double halfStroke_ = 0;    // of the widest line drawn, for the bounds
  std::optional<TwipsRect> box_;
  bool hasEdges_ = false;
  std::vector<std::shared_ptr<const Bitmap>> bitmaps_;  // a bitmap fill's id is its place + 1
  mutable std::optional<ShapeCharacter> built_;
};

}  // namespace swfplayer::player
