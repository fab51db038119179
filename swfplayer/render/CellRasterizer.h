// Scan conversion with exact-area anti-aliasing, after the cell model that FreeType's smooth
// rasteriser and AGG describe: each edge leaves, in every pixel cell it crosses, the height it
// spans there (cover) and twice the area it sweeps to its left (area); a sweep along each row
// then adds the covers up, so the coverage of a pixel is the winding of everything to its left
// plus the partial area of the edges inside it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "swfplayer/render/Canvas.h"
#include "swfplayer/render/Contours.h"

namespace swfplayer::render {

// Pixels [left, right) x [top, bottom).
struct PixelBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return left >= right || top >= bottom; }
  bool operator==(const PixelBox&) const = default;
  PixelBox Intersect(const PixelBox& o) const {
    return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
            std::min(bottom, o.bottom)};
  }
  // The box around both; an empty box adds nothing.
  PixelBox Union(const PixelBox& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
            std::max(bottom, o.bottom)};
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
  // Spans of one row, left to right, the row's first and last covered pixels at their ends;
  // pixels inside a span of covers may be uncovered (zero), which paints nothing there.
  virtual void Row(int y, const Span* spans, size_t count) = 0;
  // The rows [top, top + rows) of a small shape at once: each `width` coverages from pixel x,
  // and zeros up to `stride` (a multiple of 4), rows `stride` bytes apart; uncovered pixels
  // are zero, and nothing outside the block is covered. Unless the sink takes the block whole,
  // each row's covered part goes to Row.
  virtual void Block(int x, int top, int rows, int width, const uint8_t* covers, size_t stride);

 protected:
  ~SpanSink() = default;
};

class CellRasterizer {
 public:
  // Starts a shape. Nothing outside clip is produced; low quality samples each pixel's centre.
  void Reset(const PixelBox& clip, Quality quality) { Reset(clip, clip, quality); }
  // As Reset, producing only the rows of window (within clip). Edges are cut at clip's sides
  // alone and each row is worked out from the whole edge, so a row comes out the same whatever
  // window it is produced in: bands and redrawn parts of a frame match the whole frame.
  void Reset(const PixelBox& clip, const PixelBox& window, Quality quality);
  // Every contour is closed implicitly; offset is added to every point.
  void AddContours(const Contours& contours, Point offset = {});
  void AddLine(Point a, Point b);
  // Produces the shape's spans, row by row, top to bottom.
  void Sweep(FillRule rule, SpanSink& sink);

  // Cells live in a fixed store of 2^18 for a band of rows at a time; taller shapes are swept
  // band after band. Tests make the bands thin.
  void SetBandRowsForTesting(size_t rows) { bandRowsOverride_ = rows; }
  // Small shapes are swept through a dense store (below); tests turn it off to compare.
  void SetDenseForTesting(bool dense) { denseAllowed_ = dense; }

 private:
  // Fixed point, 8 fractional bits, y0 < y1; dir is +1 for an edge going down.
  struct Edge {
    int32_t x0, y0, x1, y1, dir;
  };
  // Sums of the edges' shares in one pixel; unsigned so that they wrap rather than overflow.
  struct Cell {
    uint32_t cover, area;
  };

  void AddContoursInside(const Contours& contours, Point offset);
  template <typename PointAt, typename Segment>
  void ForEachSegment(const Contours& contours, Point offset, PointAt at, Segment segment);
  void PushEdge(double x0, double y0, double x1, double y1, int dir);
  // kDense: cells go to the dense store rather than the sparse band.
  template <bool kDense>
  void RenderEdge(const Edge& e, int rowBegin, int rowEnd);
  template <bool kDense>
  void RenderSampledEdge(const Edge& e, int64_t yTop, int64_t yBottom);
  template <bool kDense>
  void RowSegment(int row, int32_t x0, int32_t fy0, int32_t x1, int32_t fy1, int dir);
  template <bool kDense>
  void RowSegmentAcross(int row, int32_t x0, int32_t fy0, int32_t x1, int32_t fy1, int dir);
  template <bool kDense>
  void AddCell(int x, int y, int32_t cover, int32_t area);
  template <FillRule kRule>
  void EmitRow(int y, SpanSink& sink);
  bool SweepDense(int rowBegin, int rowEnd, FillRule rule, SpanSink& sink);
  template <FillRule kRule>
  void EmitDenseRows(int rowBegin, int rowEnd, SpanSink& sink);

  PixelBox clip_;
  int windowTop_ = 0, windowBottom_ = 0;
  Quality quality_ = Quality::kHigh;
  std::vector<Edge> edges_;
  // The band: bandRows_ rows of stride_ cells from column originX_ (the shape's width), all
  // zero but where this band's edges left something, with a flag per 4 cells that do.
  int bandTop_ = 0;
  int originX_ = 0;
  int bandRows_ = 0;
  size_t stride_ = 0;
  size_t words_ = 0;  // 64-bit flag words per row
  size_t bandRowsOverride_ = 0;
  std::vector<Cell> cells_;
  std::vector<uint64_t> touched_;
  // The dense store of a small shape: one value a cell, rows of denseStride_ from originX_ and
  // bandTop_, zero but while a shape is swept. A cell holds its cover times 2 kOne less its
  // area, plus the area of the cell on its left, so that the sum of a row's values up to a
  // cell is what the sparse sweep works out for it.
  bool denseAllowed_ = true;
  size_t denseStride_ = 0;
  std::vector<int32_t> dense_;
  std::vector<int32_t> rowEnds_;  // a dense row's sum at its end: zero where the row closes
  std::vector<Span> spans_;
  std::vector<uint8_t> covers_;
};

}  // namespace swfplayer::render
