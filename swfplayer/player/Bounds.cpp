// Where an object is: the box around what it draws (children included) in any coordinates, its
// matrix to the root's, and whether a point of the stage falls on it.
#include <algorithm>
#include <cmath>
#include <limits>

#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Drawing.h"
#include "swfplayer/player/Timeline.h"

namespace swfplayer::player {
namespace {

// The Flash Player's box of something that draws nothing: every edge at 0x7FFFFFF twips.
constexpr int32_t kNoBounds = 0x7FFFFFF;

struct Box {
  double xMin = std::numeric_limits<double>::infinity();
  double yMin = std::numeric_limits<double>::infinity();
  double xMax = -std::numeric_limits<double>::infinity();
  double yMax = -std::numeric_limits<double>::infinity();

  bool Empty() const { return !(xMin <= xMax && yMin <= yMax); }
  void Add(Point p) {
    xMin = std::min(xMin, p.x);
    yMin = std::min(yMin, p.y);
    xMax = std::max(xMax, p.x);
    yMax = std::max(yMax, p.y);
  }
  void Add(const Box& other) {
    if (other.Empty()) return;
    Add(Point{other.xMin, other.yMin});
    Add(Point{other.xMax, other.yMax});
  }
  // The four corners of rect through matrix.
  void AddRect(double left, double top, double right, double bottom, const Matrix& matrix) {
    Add(matrix.Apply({left, top}));
    Add(matrix.Apply({right, top}));
    Add(matrix.Apply({left, bottom}));
    Add(matrix.Apply({right, bottom}));
  }
  void AddRect(const TwipsRect& r, const Matrix& matrix) {
    AddRect(r.xMin, r.yMin, r.xMax, r.yMax, matrix);
  }
};

Box ContentBox(const DisplayObject& object, const Matrix& matrix) {
  Box box;
  if (EditTextInstance* field = object.EditText()) {
    field->Field().Layout();  // an auto-sized field takes its size from its text
    box.AddRect(field->Field().Properties().bounds, matrix);
    return box;
  }
  if (const Character* character = object.Definition()) {
    if (const auto* shape = std::get_if<ShapeCharacter>(character)) {
      box.AddRect(shape->bounds, matrix);
    } else if (const auto* text = std::get_if<TextCharacter>(character)) {
      box.AddRect(text->bounds, matrix);
    } else if (const auto* morph = std::get_if<MorphCharacter>(character)) {
      const double t = object.Ratio() / 65535.0;
      const TwipsRect& a = morph->morph.startBounds;
      const TwipsRect& b = morph->morph.endBounds;
      auto mix = [t](int32_t from, int32_t to) { return from + (to - from) * t; };
      box.AddRect(mix(a.xMin, b.xMin), mix(a.yMin, b.yMin), mix(a.xMax, b.xMax), mix(a.yMax, b.yMax),
                  matrix);
    } else if (const auto* bitmap = std::get_if<BitmapCharacter>(character)) {
      if (bitmap->bitmap) box.AddRect(0, 0, bitmap->bitmap->width * 20.0, bitmap->bitmap->height * 20.0, matrix);
    }
  }
  if (const DisplayObject::AttachedBitmap* attached = object.Attached()) {
    const Bitmap& bitmap = *attached->bitmap;
    if (bitmap.width > 0) box.AddRect(0, 0, bitmap.width * 20.0, bitmap.height * 20.0, matrix);
  }
  if (const Drawing* drawing = object.Drawn()) {
    if (const auto drawn = drawing->Bounds()) box.AddRect(*drawn, matrix);
  }
  if (const Timeline* timeline = object.Sprite()) {
    for (const auto& [depth, child] : timeline->DisplayList()) {
      if (child->Removed()) continue;
      box.Add(ContentBox(*child, matrix * child->LocalMatrix()));
    }
  }
  return box;
}

int32_t ToTwips(double value) {
  return static_cast<int32_t>(std::clamp(std::round(value), -2147483648.0, 2147483647.0));
}

}  // namespace

TwipsRect DisplayObject::BoundsIn(const Matrix& matrix) const {
  const Box box = ContentBox(*this, matrix);
  if (box.Empty()) return {kNoBounds, kNoBounds, kNoBounds, kNoBounds};
  return {ToTwips(box.xMin), ToTwips(box.xMax), ToTwips(box.yMin), ToTwips(box.yMax)};
}

TwipsRect DisplayObject::Bounds() const { return BoundsIn(Matrix{}); }

Matrix DisplayObject::ConcatenatedMatrix() const {
  Matrix matrix;
  for (const DisplayObject* at = this; at && at->parent_; at = at->parent_) {
    matrix = at->matrix_ * matrix;
  }
  return matrix;
}

// Against the box around the object in the root's coordinates, or with shapeFlag against
// what it draws (HitTest.cpp).
bool DisplayObject::HitTestPoint(Point rootTwips, bool shapeFlag) const {
  if (shapeFlag) return HitsShapes(*this, rootTwips);
  const Box box = ContentBox(*this, ConcatenatedMatrix());
  return !box.Empty() && rootTwips.x >= box.xMin && rootTwips.x <= box.xMax &&
         rootTwips.y >= box.yMin && rootTwips.y <= box.yMax;
}

}  // namespace swfplayer::player
