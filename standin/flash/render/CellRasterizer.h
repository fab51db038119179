// Scan conversion with exact-area anti-aliasing, after the cell model that FreeType's smooth
// rasteriser and AGG describe: each edge leaves, in every pixel cell it crosses, the height it
// spans there (cover) and twice the area it sweeps to its left (area); a sweep along each row
// then adds the covers up, so the coverage of a pixel is the winding of everything to its left
// plus the partial area of the edges inside it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "standin/flash/render/Canvas.h"
#include "standin/flash/render/Contours.h"

namespace swfsaver::flash::render {

// Pixels [left, right) x [top, bottom).
struct PixelBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return left >= right || top >= bottom; }
  PixelBox Intersect(const PixelBox& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
  }
};

// A run of pixels on one row: coverage per pixel in covers, or `cover` for all when covers is
// null (the inside of a shape).
struct Span {
  int x = 0;
  int len = 0;
  const uint8_t* covers = nullptr;
  uint8_t cover = 0;
};

class SpanSink {
 public:
  // Spans of one row, left to right, none of zero coverage.
  virtual void Row(int y, const Span* spans, size_t count) = 0;

 protected:
  ~SpanSink() = default;
};

class CellRasterizer {
 public:
  // Starts a shape. Nothing outside clip is produced; low quality samples each pixel's centre.
  void Reset(const PixelBox& clip, Quality quality);
  // Every contour is closed implicitly.
  void AddContours(const Contours& contours);
  void AddLine(Point a, Point b);
  // Produces the shape's spans, row by row, top to bottom.
  void Sweep(FillRule rule, SpanSink& sink);

  // The cell store is bounded: a shape needing more cells is swept in horizontal bands.
  void SetCellLimitForTesting(size_t limit) { limitOverride_ = limit; }

 private:
  // Fixed point, 8 fractional bits, y0 < y1; dir is +1 for an edge going down.
  struct Edge {
    int32_t x0, y0, x1, y1, dir;
  };
  struct Cell {
    int32_t x, y, cover, area;
  };

  void PushEdge(double x0, double y0, double x1, double y1, int dir);
  bool BuildCells(int rowBegin, int rowEnd);
  void RenderEdge(const Edge& e, int rowBegin, int rowEnd);
  void RenderSampledEdge(const Edge& e, int64_t yTop, int64_t yBottom);
  void RowSegment(int row, int32_t x0, int32_t fy0, int32_t x1, int32_t fy1, int dir);
  void AddCell(int x, int y, int32_t cover, int32_t area);
  void MakeRoom();
  void Compact();
  void SortCells(int rowBegin, int rowEnd);
  template <FillRule kRule>
  void EmitRow(int y, const Cell* cells, size_t count, SpanSink& sink);

  PixelBox clip_;
  Quality quality_ = Quality::kHigh;
  size_t limit_ = 0;
  size_t limitOverride_ = 0;
  bool singleRow_ = false;
  bool overflow_ = false;
  std::vector<Edge> edges_;
  std::vector<Cell> cells_;  // the first count_ are in use
  size_t count_ = 0;
  std::vector<Cell> sorted_;
  std::vector<uint32_t> rowStart_;
  std::vector<uint32_t> rowNext_;
  std::vector<std::pair<int, int>> bands_;
  std::vector<Span> spans_;
  std::vector<uint8_t> covers_;
};

}  // namespace swfsaver::flash::render
