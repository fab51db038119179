// The display properties scripts read and write (_x, _xscale, _rotation, _alpha...), in the
// units scripts see them in and with the Flash Player's rules for each.
#include <cmath>
#include <numbers>

#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/PlayContext.h"

namespace swfplayer::player {
namespace {

using avm1::DisplayProperty;

constexpr double kTwipsPerPixel = 20;

double Degrees(double radians) { return radians * 180 / std::numbers::pi; }
double Radians(double degrees) { return degrees * std::numbers::pi / 180; }

// Twips are whole: a position finer than a twentieth of a pixel is cut off, toward zero.
double ToTwips(double pixels) {
  const double twips = std::trunc(pixels * kTwipsPerPixel);
  return std::clamp(twips, -2147483648.0, 2147483647.0);
}

}  // namespace

const DisplayObject::Decomposed& DisplayObject::Decomposition() const {
  if (!decomposed_) {
    const Matrix& m = matrix_;
    Decomposed d;
    d.xScale = std::sqrt(m.a * m.a + m.b * m.b);
    d.yScale = std::sqrt(m.c * m.c + m.d * m.d);
    d.rotation = std::atan2(m.b, m.a);
    d.skew = std::atan2(-m.c, m.d) - d.rotation;
    decomposed_ = d;
  }
  return *decomposed_;
}

void DisplayObject::Recompose() {
  const Decomposed& d = *decomposed_;
  matrix_.a = d.xScale * std::cos(d.rotation);
  matrix_.b = d.xScale * std::sin(d.rotation);
  matrix_.c = -d.yScale * std::sin(d.rotation + d.skew);
  matrix_.d = d.yScale * std::cos(d.rotation + d.skew);
}

double DisplayObject::NumberProperty(DisplayProperty property) const {
  switch (property) {
    case DisplayProperty::kX: return matrix_.tx / kTwipsPerPixel;
    case DisplayProperty::kY: return matrix_.ty / kTwipsPerPixel;
    case DisplayProperty::kXScale: return Decomposition().xScale * 100;
    case DisplayProperty::kYScale: return Decomposition().yScale * 100;
    case DisplayProperty::kRotation: return Degrees(Decomposition().rotation);
    case DisplayProperty::kCurrentFrame: return CurrentFrame() + 1;
    case DisplayProperty::kTotalFrames: return TotalFrames();
    case DisplayProperty::kFramesLoaded: return FramesLoaded();
    case DisplayProperty::kAlpha: return colorTransform_.mulA * 100.0;
    case DisplayProperty::kVisible: return visible_ ? 1 : 0;
    case DisplayProperty::kWidth: {
      const TwipsRect box = BoundsIn(matrix_);
      return (double(box.xMax) - box.xMin) / kTwipsPerPixel;
    }
    case DisplayProperty::kHeight: {
      const TwipsRect box = BoundsIn(matrix_);
      return (double(box.yMax) - box.yMin) / kTwipsPerPixel;
    }
    case DisplayProperty::kHighQuality: return 1;
    case DisplayProperty::kFocusRect: return 1;
    case DisplayProperty::kSoundBufTime: return 5;
    // The pointer is hidden and nothing follows it.
    case DisplayProperty::kXMouse:
    case DisplayProperty::kYMouse: return 0;
    default: return 0;
  }
}

std::u16string DisplayObject::StringProperty(DisplayProperty property) const {
  switch (property) {
    case DisplayProperty::kTarget: return TargetPath(/*slashes=*/true);
    case DisplayProperty::kName: return name_;
    case DisplayProperty::kUrl: return context_->movieUrl;
    case DisplayProperty::kQuality: return u"HIGH";
    case DisplayProperty::kDropTarget: return u"";
    default: return u"";
  }
}

void DisplayObject::SetNumberProperty(DisplayProperty property, double value) {
  // A value that is no number (undefined, a word, NaN or an infinity) changes nothing.
  if (!std::isfinite(value)) return;
  switch (property) {
    case DisplayProperty::kX:
      matrix_.tx = ToTwips(value);
      break;
    case DisplayProperty::kY:
      matrix_.ty = ToTwips(value);
      break;
    case DisplayProperty::kXScale:
      Decomposition();
      decomposed_->xScale = value / 100;
      Recompose();
      break;
    case DisplayProperty::kYScale:
      Decomposition();
      decomposed_->yScale = value / 100;
      Recompose();
      break;
    case DisplayProperty::kRotation: {
      double degrees = std::fmod(value, 360.0);
      if (degrees < -180) degrees += 360;
      if (degrees > 180) degrees -= 360;
      Decomposition();
      decomposed_->rotation = Radians(degrees);
      Recompose();
      break;
    }
    case DisplayProperty::kAlpha:
      colorTransform_.mulA = static_cast<float>(value / 100);
      break;
    case DisplayProperty::kVisible:
      visible_ = value != 0;
      break;
    case DisplayProperty::kWidth:
    case DisplayProperty::kHeight:
      SetSize(property == DisplayProperty::kWidth, value);
      break;
    default:
      return;  // read-only, or nothing to set in a saver
  }
  TouchedByScript();
}

void DisplayObject::SetStringProperty(DisplayProperty property, std::u16string_view value) {
  if (property == DisplayProperty::kName) name_ = value;
}

// The scale that gives the box around the object in its parent this width (or height), with
// the Flash Player's treatment of rotated objects.
void DisplayObject::SetSize(bool width, double value) {
  const TwipsRect own = BoundsIn(Matrix{});
  const double ownWidth = (double(own.xMax) - own.xMin) / kTwipsPerPixel;
  const double ownHeight = (double(own.yMax) - own.yMin) / kTwipsPerPixel;
  const double alongSize = width ? ownWidth : ownHeight;
  const double aspect = width ? ownHeight / ownWidth : ownWidth / ownHeight;
  const double targetX = alongSize != 0 ? value / ownWidth : 0;
  const double targetY = alongSize != 0 ? value / ownHeight : 0;
  Decomposition();
  Decomposed& d = *decomposed_;
  const double c = std::abs(std::cos(d.rotation)), s = std::abs(std::sin(d.rotation));
  double xScale, yScale;
  if (width) {
    xScale = aspect * (c * targetX + s * targetY) / ((c + aspect * s) * (aspect * c + s));
    yScale = (s * d.xScale + aspect * c * d.yScale) / (aspect * c + s);
  } else {
    xScale = (aspect * c * d.xScale + s * d.yScale) / (aspect * c + s);
    yScale = aspect * (s * targetX + c * targetY) / ((c + aspect * s) * (aspect * c + s));
  }
  d.xScale = std::isfinite(xScale) ? xScale : 0;
  d.yScale = std::isfinite(yScale) ? yScale : 0;
  Recompose();
}

void DisplayObject::SetMatrix(const Matrix& matrix) {
  matrix_ = matrix;
  decomposed_.reset();
  TouchedByScript();
}

void DisplayObject::SetColorTransform(const ColorTransform& transform) {
  colorTransform_ = transform;
  TouchedByScript();
}

}  // namespace swfplayer::player
