// libFuzzer target for the stand-in control's renderer: the bytes become a list of drawing
// calls (paths with arbitrary doubles, matrices, stroke styles, gradient and bitmap paints, mask
// calls) on a small canvas, in both qualities. What it guards: no crash, no sanitizer report, no
// unbounded time or memory for any number a movie could carry.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "swfplayer/render/RasterCanvas.h"

using namespace swfplayer;
namespace render = swfplayer::render;

namespace {

class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  // Mostly modest coordinates, sometimes any bit pattern (NaN, infinities, 1e300).
  double Number() {
    const uint8_t kind = Byte();
    if (kind < 200) return (static_cast<int16_t>(Byte() << 8 | Byte())) / 64.0;
    double raw = 0;
    uint8_t bytes[sizeof raw];
    for (uint8_t& b : bytes) b = Byte();
    std::memcpy(&raw, bytes, sizeof raw);
    return raw;
  }
  Point At() { return {Number(), Number()}; }
  Matrix AnyMatrix() {
    return {Number() / 16, Number() / 16, Number() / 16, Number() / 16, Number(), Number()};
  }
  Rgba Color() { return {Byte(), Byte(), Byte(), Byte()}; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

Paint AnyPaint(Input& in) {
  switch (in.Byte() % 3) {
    case 0:
      return in.Color();
    case 1: {
      Gradient g;
      g.kind = static_cast<GradientKind>(in.Byte() % 3);
      g.spread = static_cast<Spread>(in.Byte() % 3);
      g.interpolation = static_cast<Interpolation>(in.Byte() % 2);
      g.focalPoint = static_cast<float>(in.Number());
      g.matrix = in.AnyMatrix();
      for (int n = in.Byte() % 16; n > 0; --n) g.stops.push_back({in.Byte(), in.Color()});
      return g;
    }
    default: {
      auto bitmap = std::make_shared<Bitmap>();
      bitmap->width = in.Byte() % 5;
      bitmap->height = in.Byte() % 5;
      bitmap->pixels.resize(in.Byte() % 26);
      for (uint32_t& p : bitmap->pixels) p = in.Byte() * 0x01010101u;
      return BitmapFill{bitmap, in.AnyMatrix(), (in.Byte() & 1) != 0, (in.Byte() & 1) != 0};
    }
  }
}

Path AnyPath(Input& in) {
  Path path;
  for (int n = in.Byte() % 24; n > 0; --n) {
    switch (in.Byte() % 3) {
      case 0:
        path.MoveTo(in.At());
        break;
      case 1:
        path.LineTo(in.At());
        break;
      default:
        path.QuadTo(in.At(), in.At());
        break;
    }
  }
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint32_t> pixels(40 * 30);
  for (const auto quality : {render::Quality::kHigh, render::Quality::kLow}) {
    Input in(data, size);
    render::RasterCanvas canvas(pixels.data(), 40, 30, 40, quality);
    for (int calls = 0; !in.Empty() && calls < 64; ++calls) {
      const uint8_t op = in.Byte() % 8;
      if (op == 5) canvas.BeginMask();
      if (op == 6) canvas.EndMask();
      if (op == 7) canvas.PopMask();
      if (op >= 5) continue;
      const Path path = AnyPath(in);
      const Matrix matrix = in.AnyMatrix();
      const Paint paint = AnyPaint(in);
      const ColorTransform ct{
          static_cast<float>(in.Number()), 1, 1, static_cast<float>(in.Number()), 0, 0, 0,
          static_cast<float>(in.Number())};
      if (op < 3) {
        const auto rule = op == 0 ? FillRule::kEvenOdd : FillRule::kNonZero;
        canvas.FillPath(path, matrix, rule, paint, ct);
        continue;
      }
      StrokeStyle style;
      style.width = in.Number();
      style.startCap = static_cast<Cap>(in.Byte() % 3);
      style.endCap = static_cast<Cap>(in.Byte() % 3);
      style.join = static_cast<Join>(in.Byte() % 3);
      style.miterLimit = in.Number();
      const uint8_t flags = in.Byte();
      style.scaleX = flags & 1;
      style.scaleY = flags & 2;
      style.pixelHinting = flags & 4;
      style.noClose = flags & 8;
      canvas.StrokePath(path, matrix, style, paint, ct);
    }
  }
  return 0;
}
