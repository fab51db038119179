#include "swfplayer/player/Drawing.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "swfplayer/player/CharacterBuild.h"
#include "swfplayer/player/DisplayObject.h"

namespace swfplayer::player {
namespace {

using Kind = avm1::DrawCommand::Kind;

int32_t ClampTwips(double value) {
  return static_cast<int32_t>(std::clamp(std::floor(value), -2147483648.0, 2147483647.0));
}

format::StyleChange LineChange(uint32_t line) {
  format::StyleChange change;
  change.line = line;
  return change;
}

format::StyleChange Move(Point to) {
  format::StyleChange change;
  change.moveTo = to;
  return change;
}

}  // namespace

// Colours and gradients stay as they were given; a bitmap fill names its bitmap by its place
// among the drawing's bitmaps, as a shape's fill names a bitmap character.
format::FillStyle Drawing::FillStyleOf(const Paint& paint) {
  if (const auto* colour = std::get_if<Rgba>(&paint)) return *colour;
  if (const auto* gradient = std::get_if<Gradient>(&paint)) return *gradient;
  const auto& fill = std::get<BitmapFill>(paint);
  auto known = std::find(bitmaps_.begin(), bitmaps_.end(), fill.bitmap);
  if (known == bitmaps_.end()) {
    if (!fill.bitmap || bitmaps_.size() >= kMaxDrawingBitmaps) return Rgba{0, 0, 0, 0};
    known = bitmaps_.insert(bitmaps_.end(), fill.bitmap);
  }
  const auto id = static_cast<uint16_t>(known - bitmaps_.begin() + 1);
  return format::BitmapFillStyle{id, fill.matrix, fill.repeat, fill.smooth};
}

void Drawing::Record(format::ShapeRecord record) {
  shape_.records.push_back(std::move(record));
  built_.reset();
}

void Drawing::Extend(Point p) {
  const double h = halfStroke_;
  const TwipsRect around{ClampTwips(p.x - h), ClampTwips(std::ceil(p.x + h)), ClampTwips(p.y - h),
                         ClampTwips(std::ceil(p.y + h))};
  if (!box_) {
    box_ = around;
    return;
  }
  box_->xMin = std::min(box_->xMin, around.xMin);
  box_->xMax = std::max(box_->xMax, around.xMax);
  box_->yMin = std::min(box_->yMin, around.yMin);
  box_->yMax = std::max(box_->yMax, around.yMax);
}

void Drawing::LineTo(Point to, bool stroked) {
  if (!stroked && line_ != 0) Record(LineChange(0));
  Extend(pen_);
  Extend(to);
  Record(format::Edge{std::nullopt, {to.x - pen_.x, to.y - pen_.y}});
  if (!stroked && line_ != 0) Record(LineChange(line_));
  pen_ = to;
  hasEdges_ = true;
}

// The edge back to where the fill began is not stroked.
void Drawing::CloseFill() {
  if (fillOpen_ && (pen_.x != fillStart_.x || pen_.y != fillStart_.y)) LineTo(fillStart_, false);
}

void Drawing::Apply(const avm1::DrawCommand& command) {
  if (command.kind == Kind::kClear) {
    *this = Drawing();
    return;
  }
  if (shape_.records.size() >= kMaxDrawingRecords) return;
  switch (command.kind) {
    case Kind::kClear:
      break;
    case Kind::kLineStyle: {
      shape_.lines.push_back({command.stroke, FillStyleOf(command.paint)});
      line_ = static_cast<uint32_t>(shape_.lines.size());
      halfStroke_ = std::max(halfStroke_, command.stroke.width / 2);
      Record(LineChange(line_));
      break;
    }
    case Kind::kNoLine:
      line_ = 0;
      Record(LineChange(0));
      break;
    case Kind::kBeginFill: {
      CloseFill();
      shape_.fills.push_back(FillStyleOf(command.paint));
      fillOpen_ = true;
      fillStart_ = pen_;
      format::StyleChange change = Move(pen_);
      change.fill0 = 0u;
      change.fill1 = static_cast<uint32_t>(shape_.fills.size());
      Record(std::move(change));
      break;
    }
    case Kind::kEndFill:
      CloseFill();
      if (fillOpen_) {
        format::StyleChange change = Move(pen_);
        change.fill1 = 0u;
        Record(std::move(change));
      }
      fillOpen_ = false;
      break;
    case Kind::kMoveTo:
      CloseFill();
      pen_ = command.anchor;
      fillStart_ = pen_;
      Record(Move(pen_));
      break;
    case Kind::kLineTo:
      LineTo(command.anchor, true);
      break;
    case Kind::kCurveTo: {
      Extend(pen_);
      Extend(command.control);  // the curve stays inside its control triangle
      Extend(command.anchor);
      Record(format::Edge{Point{command.control.x - pen_.x, command.control.y - pen_.y},
                          {command.anchor.x - command.control.x, command.anchor.y - command.control.y}});
      pen_ = command.anchor;
      hasEdges_ = true;
      break;
    }
  }
}

void DisplayObject::Draw(const avm1::DrawCommand& command) {
  if (!IsMovieClip() || Removed()) return;
  if (!drawing_) drawing_ = std::make_unique<Drawing>();
  drawing_->Apply(command);
}

std::optional<TwipsRect> Drawing::Bounds() const {
  if (!hasEdges_) return std::nullopt;
  return box_;
}

const ShapeCharacter& Drawing::Shape() const {
  if (!built_) {
    format::ShapeDefinition closed = shape_;
    // An open fill is drawn as if it ended here; the drawing goes on from where it was.
    if (fillOpen_ && (pen_.x != fillStart_.x || pen_.y != fillStart_.y)) {
      closed.records.push_back(LineChange(0));
      closed.records.push_back(format::Edge{std::nullopt, {fillStart_.x - pen_.x, fillStart_.y - pen_.y}});
    }
    if (box_) closed.bounds = *box_;
    size_t points = 4 * kMaxDrawingRecords + 16;
    const auto lookup = [this](uint16_t id) -> std::shared_ptr<const Bitmap> {
      return id >= 1 && id <= bitmaps_.size() ? bitmaps_[id - 1] : nullptr;
    };
    built_ = BuildShapeCharacter(closed, lookup, points);
  }
  return *built_;
}

}  // namespace swfplayer::player
