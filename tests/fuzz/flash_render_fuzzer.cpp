// libFuzzer target for the stand-in control's renderer: the bytes become a list of drawing
// calls (paths with arbitrary doubles, matrices, stroke styles, gradient and bitmap paints, mask
// calls) on a small canvas, in both qualities. What it guards: no crash, no sanitizer report, no
// unbounded time or memory for any number a movie could carry; and the same pixels whether the
// calls draw at once (with the four-pixel loops) or are recorded as a frame and drawn in bands
// on two threads (with the eight-pixel loops, where the processor has them).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "swfplayer/render/CpuFeatures.h"
#include "swfplayer/render/RasterCanvas.h"
#include "tests/fuzz/SeedCorpus.h"

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

// The calls the bytes spell, on canvas.
void Draw(const uint8_t* data, size_t size, render::RasterCanvas& canvas) {
  Input in(data, size);
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

// Seeds in the encoding Input reads: calls that draw on the canvas (the mutations otherwise
// start from nothing, and most numbers land far off a 40 x 48 canvas).
class Encoder {
 public:
  void Byte(uint8_t b) { bytes_.push_back(b); }
  void Number(double v) {  // a modest one: kind 0, then v * 64 in 16 bits
    const auto raw = static_cast<uint16_t>(static_cast<int16_t>(v * 64));
    Byte(0);
    Byte(static_cast<uint8_t>(raw >> 8));
    Byte(static_cast<uint8_t>(raw));
  }
  void Polygon(std::initializer_list<Point> points) {
    Byte(static_cast<uint8_t>(points.size()));
    bool first = true;
    for (const Point& p : points) {
      Byte(first ? 0 : 1);  // move, then lines
      first = false;
      Number(p.x);
      Number(p.y);
    }
  }
  void Matrix(double a, double d, double tx, double ty) {  // Input divides a to d by 16
    for (const double v : {a * 16, 0.0, 0.0, d * 16, tx, ty}) Number(v);
  }
  void Color(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    for (const uint8_t c : {r, g, b, a}) Byte(c);
  }
  void Solid(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    Byte(0);
    Color(r, g, b, a);
  }
  void Transform() {  // red and alpha multiplied by one, nothing added
    Number(1);
    Number(1);
    Number(0);
  }
  // Call op (a fill or stroke) on a polygon where it stands, in one colour.
  void SolidShape(uint8_t op, std::initializer_list<Point> points, uint8_t r, uint8_t g,
                  uint8_t b, uint8_t a) {
    Byte(op);
    Polygon(points);
    Matrix(1, 1, 0, 0);
    Solid(r, g, b, a);
    Transform();
  }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

swfsaver::fuzzing::Seeds MakeSeeds() {
  swfsaver::fuzzing::Seeds seeds;
  Encoder e;
  // A non-zero fill: a square.
  e.SolidShape(1, {{4.5, 3.25}, {30, 3.25}, {30, 40.5}, {4.5, 40.5}}, 200, 30, 30, 255);
  e.Byte(0);  // an even-odd fill: a star, moved and scaled
  e.Polygon({{8, 0}, {13, 16}, {0, 6}, {16, 6}, {3, 16}});
  e.Matrix(2, 2.5, 3.5, 2.25);
  e.Byte(1);  // a linear gradient
  for (const uint8_t b : {0, 0, 0}) e.Byte(b);
  e.Number(0);
  e.Matrix(0.02, 0.02, 20, 20);
  e.Byte(2);  // two stops: ratio, colour
  e.Byte(0);
  e.Color(10, 200, 40, 128);
  e.Byte(255);
  e.Color(10, 20, 240, 255);
  e.Transform();
  seeds.push_back(e.Take());

  // A stroke: an open zigzag, round caps and joins.
  e.SolidShape(3, {{2, 44}, {12, 20}, {22, 44}, {36, 10}}, 250, 250, 250, 200);
  e.Number(3);
  for (const uint8_t b : {1, 1, 1}) e.Byte(b);
  e.Number(3);
  e.Byte(0);
  e.Byte(5);  // a mask: a square, a fill under it, then the mask off
  e.SolidShape(1, {{10, 10}, {34, 10}, {34, 34}, {10, 34}}, 0, 0, 0, 255);
  e.Byte(6);
  e.SolidShape(2, {{0, 0}, {40, 0}, {40, 48}, {0, 48}}, 30, 120, 220, 180);
  e.Byte(7);
  seeds.push_back(e.Take());
  return seeds;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  swfsaver::fuzzing::UseSeedCorpus(argc, argv, "flash_render_seeds", MakeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const auto quality : {render::Quality::kHigh, render::Quality::kLow}) {
    // Drawn at once, call by call; and recorded as a frame drawn in bands on two threads, then
    // the same frame again (drawn again only where something differs: the bitmaps are new).
    // Each picture starts with a clear, as the player's do. The pixels must be the same.
    // 48 rows make three bands.
    constexpr Rgba kBackdrop{30, 60, 90, 200};
    std::vector<uint32_t> now(40 * 48), framed(now.size());
    render::RasterCanvas immediate(now.data(), 40, 48, 40, quality);
    render::AllowAvx2(false);
    immediate.Clear(kBackdrop);
    Draw(data, size, immediate);
    render::AllowAvx2(true);
    render::RasterCanvas recorded(framed.data(), 40, 48, 40, quality);
    recorded.SetThreads(2);
    for (int frame = 0; frame < 2; ++frame) {
      recorded.BeginFrame();
      recorded.Clear(kBackdrop);
      Draw(data, size, recorded);
      recorded.EndFrame();
      if (framed != now) __builtin_trap();
    }
  }
  return 0;
}
