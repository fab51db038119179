// hitTest(x, y, true): whether a point of the stage falls on what an object draws, tested on
// its outlines rather than its box: the fills (by their shape's fill rule) and lines of its
// shapes, its drawing and its tweens, its texts' glyphs, the boxes of its text fields and
// bitmaps, and all of the same in its children. As in the Flash Player, hidden objects count.
// Masks do not: a clip layer or a script's mask is not something the object shows.
#include <algorithm>
#include <optional>

#include "swfplayer/format/Limits.h"
#include "swfplayer/player/CharacterBuild.h"
#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Drawing.h"
#include "swfplayer/player/ShapeHit.h"
#include "swfplayer/player/Timeline.h"

namespace swfplayer::player {
namespace {

bool InRect(Point p, double left, double top, double right, double bottom) {
  return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
}

bool HitsShape(const ShapeCharacter& shape, Point p) {
  for (const ShapeLayerPaths& layer : shape.layers) {
    for (const ShapeFill& fill : layer.fills) {
      if (PathContains(fill.path, shape.fillRule, p)) return true;
    }
    for (const ShapeStroke& stroke : layer.strokes) {
      // A hairline (and any thinner line) is a pixel wide.
      if (PathNear(stroke.path, std::max(stroke.stroke.width, 20.0) / 2, p)) return true;
    }
  }
  return false;
}

bool HitsCharacter(const DisplayObject& object, Point p) {
  const Character* character = object.Definition();
  if (!character) return false;
  if (const auto* shape = std::get_if<ShapeCharacter>(character)) {
    const TwipsRect& b = shape->bounds;
    return InRect(p, b.xMin, b.yMin, b.xMax, b.yMax) && HitsShape(*shape, p);
  }
  if (const auto* text = std::get_if<TextCharacter>(character)) {
    for (const TextGlyph& glyph : text->glyphs) {
      const auto inverse = glyph.matrix.Inverse();
      if (inverse && glyph.path && PathContains(*glyph.path, FillRule::kEvenOdd, inverse->Apply(p))) return true;
    }
    return false;
  }
  if (const auto* morph = std::get_if<MorphCharacter>(character)) {
    const format::BitmapLookup none = [](uint16_t) { return nullptr; };
    size_t points = format::kMaxMoviePathPoints;
    return HitsShape(BuildShapeCharacter(format::MorphShapeAt(morph->morph, object.Ratio()), none, points), p);
  }
  return false;
}

// toRoot: the object's coordinates to the root's.
bool HitsContent(const DisplayObject& object, const Matrix& toRoot, Point rootPoint) {
  if (object.Removed() || object.ClipDepth() != 0 || object.MaskOf()) return false;
  const std::optional<Matrix> fromRoot = toRoot.Inverse();
  if (!fromRoot) return false;
  const Point p = fromRoot->Apply(rootPoint);
  if (HitsCharacter(object, p)) return true;
  if (EditTextInstance* field = object.EditText()) {
    field->Field().Layout();  // an auto-sized field takes its size from its text
    const TwipsRect& b = field->Field().Properties().bounds;
    if (InRect(p, b.xMin, b.yMin, b.xMax, b.yMax)) return true;
  }
  if (const DisplayObject::AttachedBitmap* attached = object.Attached()) {
    const Bitmap& bitmap = *attached->bitmap;
    if (bitmap.width > 0 && InRect(p, 0, 0, bitmap.width * 20.0, bitmap.height * 20.0)) return true;
  }
  if (const Drawing* drawing = object.Drawn()) {
    const auto box = drawing->Bounds();
    if (box && InRect(p, box->xMin, box->yMin, box->xMax, box->yMax) && HitsShape(drawing->Shape(), p)) return true;
  }
  if (const Timeline* timeline = object.Sprite()) {
    for (const auto& [depth, child] : timeline->DisplayList()) {
      if (HitsContent(*child, toRoot * child->LocalMatrix(), rootPoint)) return true;
    }
  }
  return false;
}

}  // namespace

bool HitsShapes(const DisplayObject& object, Point rootTwips) {
  return HitsContent(object, object.ConcatenatedMatrix(), rootTwips);
}

}  // namespace swfplayer::player
