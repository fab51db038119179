// Shared helpers of the renderer tests: a canvas over its own pixels, a span sink that records
// coverage, and path builders in device pixels.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "swfplayer/render/CellRasterizer.h"
#include "swfplayer/render/RasterCanvas.h"

namespace swfplayer::render::test {

inline uint8_t AlphaOf(uint32_t p) { return static_cast<uint8_t>(p >> 24); }
inline uint8_t RedOf(uint32_t p) { return static_cast<uint8_t>(p >> 16); }
inline uint8_t GreenOf(uint32_t p) { return static_cast<uint8_t>(p >> 8); }

struct TestCanvas {
  explicit TestCanvas(int width, int height, Quality quality = Quality::kHigh)
      : pixels(static_cast<size_t>(width) * height),
        canvas(pixels.data(), width, height, width, quality) {}
  // A copy holds the pixels drawn so far, under a canvas of its own.
  TestCanvas(const TestCanvas& other)
      : pixels(other.pixels),
        canvas(pixels.data(), other.canvas.Width(), other.canvas.Height(), other.canvas.Width(),
               other.canvas.GetQuality()) {}
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * canvas.Width() + x]; }

  std::vector<uint32_t> pixels;
  RasterCanvas canvas;
};

// Coverage of every pixel of a width x height area, as the rasteriser produced it.
class CoverageGrid final : public SpanSink {
 public:
  CoverageGrid(int width, int height)
      : width_(width), cover_(static_cast<size_t>(width) * height) {}
  void Row(int y, const Span* spans, size_t count) override {
    for (size_t s = 0; s < count; ++s) {
      for (int i = 0; i < spans[s].len; ++i) {
        cover_[static_cast<size_t>(y) * width_ + spans[s].x + i] =
            spans[s].covers ? spans[s].covers[i] : spans[s].cover;
      }
    }
  }
  int At(int x, int y) const { return cover_[static_cast<size_t>(y) * width_ + x]; }
  const std::vector<uint8_t>& All() const { return cover_; }

 private:
  int width_;
  std::vector<uint8_t> cover_;
};

// Lines through the points (device pixels when drawn with the identity matrix).
inline Path Polyline(std::initializer_list<Point> points) {
  Path path;
  for (const Point& p : points) path.Empty() ? path.MoveTo(p) : path.LineTo(p);
  return path;
}

inline Path Rect(double x0, double y0, double x1, double y1) {
  return Polyline({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}});
}

inline Contours ContoursOf(std::initializer_list<std::initializer_list<Point>> polygons) {
  Contours contours;
  for (const auto& polygon : polygons) {
    contours.BeginContour();
    for (const Point& p : polygon) contours.Add(p);
  }
  contours.EndContour();
  return contours;
}

// n points round (cx, cy) at radius r + wobble * sin(7 a).
inline Contours Blob(double cx, double cy, double r, double wobble, int n) {
  Contours contours;
  contours.BeginContour();
  for (int i = 0; i < n; ++i) {
    const double a = 6.2831853 * i / n, radius = r + wobble * std::sin(7 * a);
    contours.Add({cx + radius * std::cos(a), cy + radius * std::sin(a)});
  }
  contours.EndContour();
  return contours;
}

inline CoverageGrid Rasterize(const Contours& contours, int width, int height, FillRule rule,
                              Quality quality = Quality::kHigh, size_t bandRows = 0,
                              bool dense = true) {
  CellRasterizer raster;
  raster.SetBandRowsForTesting(bandRows);
  raster.SetDenseForTesting(dense);
  raster.Reset({0, 0, width, height}, quality);
  raster.AddContours(contours);
  CoverageGrid grid(width, height);
  raster.Sweep(rule, grid);
  return grid;
}

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};

}  // namespace swfplayer::render::test
