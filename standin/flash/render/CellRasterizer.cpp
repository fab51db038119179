#include "standin/flash/render/CellRasterizer.h"

#include <algorithm>
#include <cmath>

namespace swfsaver::flash::render {
namespace {

constexpr int kShift = 8;
constexpr int kOne = 1 << kShift;
// 16-byte cells: 1 MB, more than a detailed full-screen shape needs; beyond it, bands.
constexpr size_t kCellLimit = size_t{1} << 16;
// val (the sweep's sum) for a fully covered pixel of winding one.
constexpr int64_t kFull = int64_t{kOne} * kOne * 2;

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  const int64_t q = a / b;
  return (a % b < 0) ? q - 1 : q;
}

// Thousands of edges through one cell could overflow a sum; wrapping keeps that defined, and
// only a winding in the millions would read wrong.
int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

template <FillRule kRule>
inline uint8_t Coverage(int64_t val) {
  uint64_t v = static_cast<uint64_t>(val < 0 ? -val : val);
  if constexpr (kRule == FillRule::kNonZero) {
    v = v < kFull ? v : kFull;
  } else {
    v &= 2 * kFull - 1;
    if (v > kFull) v = 2 * kFull - v;
  }
  return static_cast<uint8_t>((v * 255 + kFull / 2) >> 17);
}
static_assert(kFull == 1 << 17);

}  // namespace

void CellRasterizer::Reset(const PixelBox& clip, Quality quality) {
  clip_ = clip;
  quality_ = quality;
  edges_.clear();
  const size_t width = clip.Empty() ? 0 : static_cast<size_t>(clip.right - clip.left);
  // A single row never needs more than width + 1 cells once merged.
  limit_ = std::max(limitOverride_ ? limitOverride_ : kCellLimit, 2 * width + 4);
  if (covers_.size() < width + 2) covers_.resize(width + 2);
}

void CellRasterizer::AddContours(const Contours& contours) {
  for (size_t c = 0; c < contours.ContourCount(); ++c) {
    const size_t begin = contours.ContourBegin(c), end = contours.ContourEnd(c);
    for (size_t i = begin; i < end; ++i) {
      AddLine(contours.At(i), contours.At(i + 1 < end ? i + 1 : begin));
    }
  }
}

void CellRasterizer::AddLine(Point a, Point b) {
  if (clip_.Empty() || a.y == b.y || !std::isfinite(a.x + a.y + b.x + b.y)) return;
  int dir = 1;
  if (a.y > b.y) {  // one direction for every edge, so that a reversed copy cancels exactly
    std::swap(a, b);
    dir = -1;
  }
  const double top = clip_.top, bottom = clip_.bottom, left = clip_.left, right = clip_.right;
  if (a.y >= top && b.y <= bottom && a.x >= left && a.x <= right && b.x >= left && b.x <= right) {
    PushEdge(a.x, a.y, b.x, b.y, dir);  // the usual case: nothing to clip
    return;
  }
  if (b.y <= top || a.y >= bottom) return;
  const Point upper = a, lower = b;
  auto xAt = [&](double y) {
    return upper.x + (lower.x - upper.x) * ((y - upper.y) / (lower.y - upper.y));
  };
  if (a.y < top) a = {xAt(top), top};
  if (b.y > bottom) b = {xAt(bottom), bottom};

  if (a.x >= right && b.x >= right) return;  // covers nothing the clip shows
  if (a.x <= left && b.x <= left) {          // only its winding shows: a wall on the left edge
    PushEdge(left, a.y, left, b.y, dir);
    return;
  }
  // Split where the edge crosses the clip's left and right sides (t along a->b).
  double cuts[4] = {0, 0, 0, 1};
  int n = 1;
  for (const double side : {left, right}) {
    const double t = (side - a.x) / (b.x - a.x);
    if (t > 0 && t < 1) cuts[n++] = t;
  }
  cuts[n++] = 1;
  if (n == 4 && cuts[1] > cuts[2]) std::swap(cuts[1], cuts[2]);
  Point from = a;
  for (int i = 1; i < n; ++i) {
    const double t = cuts[i];
    Point to = t == 1 ? b : Point{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
    const double midX = (from.x + to.x) / 2;
    if (midX < left) {
      PushEdge(left, from.y, left, to.y, dir);
    } else if (midX <= right) {
      PushEdge(from.x, from.y, to.x, to.y, dir);
    }
    from = to;
  }
}

void CellRasterizer::PushEdge(double x0, double y0, double x1, double y1, int dir) {
  auto fix = [](double v, int lo, int hi) {
    const double scaled = v * kOne;
    if (!(scaled >= static_cast<double>(lo) * kOne)) return lo * kOne;  // also NaN
    if (!(scaled <= static_cast<double>(hi) * kOne)) return hi * kOne;
    return static_cast<int32_t>(scaled + 0.5);  // not negative: truncation rounds
  };
  const Edge e{fix(x0, clip_.left, clip_.right), fix(y0, clip_.top, clip_.bottom),
               fix(x1, clip_.left, clip_.right), fix(y1, clip_.top, clip_.bottom), dir};
  if (e.y0 < e.y1) edges_.push_back(e);
}

void CellRasterizer::Sweep(FillRule rule, SpanSink& sink) {
  if (edges_.empty()) return;
  int32_t yMin = edges_[0].y0, yMax = edges_[0].y1;
  for (const Edge& e : edges_) {
    yMin = std::min(yMin, e.y0);
    yMax = std::max(yMax, e.y1);
  }
  bands_.clear();
  bands_.emplace_back(yMin >> kShift, ((yMax - 1) >> kShift) + 1);
  while (!bands_.empty()) {
    const auto [rowBegin, rowEnd] = bands_.back();
    bands_.pop_back();
    if (!BuildCells(rowBegin, rowEnd)) {
      const int mid = rowBegin + (rowEnd - rowBegin) / 2;
      bands_.emplace_back(mid, rowEnd);
      bands_.emplace_back(rowBegin, mid);
      continue;
    }
    SortCells(rowBegin, rowEnd);
    for (int row = rowBegin; row < rowEnd; ++row) {
      const uint32_t begin = rowStart_[row - rowBegin], end = rowStart_[row - rowBegin + 1];
      if (begin == end) continue;
      if (rule == FillRule::kNonZero) {
        EmitRow<FillRule::kNonZero>(row, &sorted_[begin], end - begin, sink);
      } else {
        EmitRow<FillRule::kEvenOdd>(row, &sorted_[begin], end - begin, sink);
      }
    }
  }
}

bool CellRasterizer::BuildCells(int rowBegin, int rowEnd) {
  count_ = 0;
  overflow_ = false;
  singleRow_ = rowEnd - rowBegin == 1;
  const int32_t top = rowBegin * kOne, bottom = rowEnd * kOne;
  for (const Edge& e : edges_) {
    if (e.y1 <= top || e.y0 >= bottom) continue;
    RenderEdge(e, rowBegin, rowEnd);
    if (overflow_) return false;
  }
  return true;
}

void CellRasterizer::RenderEdge(const Edge& e, int rowBegin, int rowEnd) {
  const int64_t yTop = std::max<int64_t>(e.y0, int64_t{rowBegin} * kOne);
  const int64_t yBottom = std::min<int64_t>(e.y1, int64_t{rowEnd} * kOne);
  if (yTop >= yBottom) return;
  if (quality_ == Quality::kLow) {
    RenderSampledEdge(e, yTop, yBottom);
    return;
  }
  int row = static_cast<int>(yTop >> kShift);
  const int lastRow = static_cast<int>((yBottom - 1) >> kShift);
  const int32_t fyTop = static_cast<int32_t>(yTop - int64_t{row} * kOne);
  const int32_t fyBottom = static_cast<int32_t>(yBottom - int64_t{lastRow} * kOne);
  if (e.x0 == e.x1) {  // vertical: one cell per row, no arithmetic
    const int cx = e.x0 >> kShift;
    const int32_t twiceFx = 2 * (e.x0 - cx * kOne);
    int32_t from = fyTop;
    for (; row <= lastRow && !overflow_; ++row) {
      const int32_t h = (row == lastRow ? fyBottom : kOne) - from;
      AddCell(cx, row, h * e.dir, h * twiceFx * e.dir);
      from = 0;
    }
    return;
  }
  // x where the edge meets each row boundary, from one division per edge. Any deterministic
  // value between the ends would do: the parts still join up and their heights telescope, so a
  // shape's winding sums exactly to zero outside it.
  const double slope = static_cast<double>(e.x1 - e.x0) / (e.y1 - e.y0);
  const int32_t xLow = std::min(e.x0, e.x1), xHigh = std::max(e.x0, e.x1);
  auto xAt = [&](int64_t y) {
    const double x = e.x0 + static_cast<double>(y - e.y0) * slope;
    return std::clamp(static_cast<int32_t>(x), xLow, xHigh);  // x >= 0: truncation is floor
  };
  int32_t x = xAt(yTop);
  int32_t from = fyTop;
  for (; row < lastRow && !overflow_; ++row, from = 0) {
    const int32_t next = xAt(int64_t{row + 1} * kOne);
    RowSegment(row, x, from, next, kOne, e.dir);
    x = next;
  }
  if (!overflow_) {
    RowSegment(lastRow, x, from, yBottom == e.y1 ? e.x1 : xAt(yBottom), fyBottom, e.dir);
  }
}

// Without anti-aliasing a pixel is inside when its centre is: where the edge crosses a row's
// centre line, the first pixel whose centre lies right of it gets the whole row's cover.
void CellRasterizer::RenderSampledEdge(const Edge& e, int64_t yTop, int64_t yBottom) {
  const double slope = static_cast<double>(e.x1 - e.x0) / (e.y1 - e.y0);
  const int32_t xLow = std::min(e.x0, e.x1), xHigh = std::max(e.x0, e.x1);
  for (int64_t row = FloorDiv(yTop - kOne / 2 + kOne - 1, kOne);; ++row) {
    const int64_t sample = row * kOne + kOne / 2;
    if (sample >= yBottom || overflow_) break;
    const double exact = e.x0 + static_cast<double>(sample - e.y0) * slope;
    const int32_t x = std::clamp(static_cast<int32_t>(exact), xLow, xHigh);
    const int px = ((x - kOne / 2) >> kShift) + 1;
    AddCell(std::min(px, clip_.right), static_cast<int>(row), kOne * e.dir, 0);
  }
}

// One row's part of an edge, fy in [0, kOne]: shares out its height and area among the cells
// it crosses, stepping from one cell side to the next. It walks left
// to right (a leftward part runs reversed with the opposite sign, which leaves every cell's
// share the same) so that a row's cells mostly arrive in order.
void CellRasterizer::RowSegment(int row, int32_t x0, int32_t fy0, int32_t x1, int32_t fy1,
                                int dir) {
  if (x1 < x0) {
    std::swap(x0, x1);
    std::swap(fy0, fy1);
    dir = -dir;
  }
  const int cx0 = x0 >> kShift, cx1 = x1 >> kShift;
  const int32_t fx0 = x0 - cx0 * kOne, fx1 = x1 - cx1 * kOne;
  if (cx0 == cx1) {
    const int32_t h = fy1 - fy0;
    AddCell(cx0, row, h * dir, h * (fx0 + fx1) * dir);
    return;
  }
  // y where the part crosses each cell side; as for rows, any deterministic values telescope.
  const double slope = static_cast<double>(fy1 - fy0) / (x1 - x0);
  const int32_t yLow = std::min(fy0, fy1), yHigh = std::max(fy0, fy1);
  auto yAt = [&](int32_t side) {
    const double y = fy0 + static_cast<double>(side - x0) * slope;
    return std::clamp(static_cast<int32_t>(y), yLow, yHigh);  // y >= 0: truncation is floor
  };
  int32_t y = yAt((cx0 + 1) * kOne);
  AddCell(cx0, row, (y - fy0) * dir, (y - fy0) * (fx0 + kOne) * dir);
  for (int cx = cx0 + 1; cx < cx1; ++cx) {
    const int32_t next = yAt((cx + 1) * kOne);
    AddCell(cx, row, (next - y) * dir, (next - y) * kOne * dir);
    y = next;
  }
  AddCell(cx1, row, (fy1 - y) * dir, (fy1 - y) * fx1 * dir);
}

inline void CellRasterizer::AddCell(int x, int y, int32_t cover, int32_t area) {
  if (count_ > 0) {
    Cell& last = cells_[count_ - 1];
    if (last.x == x && last.y == y) {
      last.cover = WrapAdd(last.cover, cover);
      last.area = WrapAdd(last.area, area);
      return;
    }
  }
  if ((cover | area) == 0) return;
  if (count_ == cells_.size()) MakeRoom();
  if (!overflow_) cells_[count_++] = {x, y, cover, area};
}

// The store grows up to its limit; past it a band of several rows gives up (to be split) and a
// single row merges its cells, which then number at most width + 1.
void CellRasterizer::MakeRoom() {
  if (count_ < limit_) {
    cells_.resize(std::min(limit_, std::max<size_t>(4096, 2 * count_)));
  } else if (singleRow_) {
    Compact();
  } else {
    overflow_ = true;
  }
}

void CellRasterizer::Compact() {
  std::sort(cells_.begin(), cells_.begin() + static_cast<ptrdiff_t>(count_),
            [](const Cell& a, const Cell& b) { return a.x < b.x; });
  size_t out = 0;
  for (size_t i = 0; i < count_; ++i) {
    if (out > 0 && cells_[out - 1].x == cells_[i].x) {
      cells_[out - 1].cover = WrapAdd(cells_[out - 1].cover, cells_[i].cover);
      cells_[out - 1].area = WrapAdd(cells_[out - 1].area, cells_[i].area);
    } else {
      cells_[out++] = cells_[i];
    }
  }
  count_ = out;
}

// Counting sort by row, then each row by x (rows hold few cells: insertion sort mostly).
void CellRasterizer::SortCells(int rowBegin, int rowEnd) {
  const size_t rows = static_cast<size_t>(rowEnd - rowBegin);
  rowStart_.assign(rows + 1, 0);
  const Cell* cells = cells_.data();
  for (size_t i = 0; i < count_; ++i) ++rowStart_[cells[i].y - rowBegin + 1];
  for (size_t r = 0; r < rows; ++r) rowStart_[r + 1] += rowStart_[r];
  if (sorted_.size() < count_) sorted_.resize(cells_.size());
  rowNext_.assign(rowStart_.begin(), rowStart_.end() - 1);
  for (size_t i = 0; i < count_; ++i) sorted_[rowNext_[cells[i].y - rowBegin]++] = cells[i];
  for (size_t r = 0; r < rows; ++r) {
    if (rowStart_[r + 1] - rowStart_[r] < 2) continue;
    Cell* first = sorted_.data() + rowStart_[r];
    Cell* last = sorted_.data() + rowStart_[r + 1];
    if (last - first > 16 &&
        !std::is_sorted(first, last, [](const Cell& a, const Cell& b) { return a.x < b.x; })) {
      std::sort(first, last, [](const Cell& a, const Cell& b) { return a.x < b.x; });
      continue;
    }
    for (Cell* i = first + 1; i < last; ++i) {
      const Cell c = *i;
      Cell* j = i;
      for (; j > first && (j - 1)->x > c.x; --j) *j = *(j - 1);
      *j = c;
    }
  }
}

template <FillRule kRule>
void CellRasterizer::EmitRow(int y, const Cell* cell, size_t count, SpanSink& sink) {
  // At most a span per cell and one per gap after it.
  if (spans_.size() < 2 * count) spans_.resize(2 * count);
  Span* const first = spans_.data();
  Span* out = first;
  Span* open = nullptr;  // the span of partly covered pixels being extended, if any
  uint8_t* covers = covers_.data();
  const Cell* const end = cell + count;
  const int right = clip_.right;
  int64_t winding = 0;  // sum of the covers left of the current pixel
  while (cell < end && cell->x < right) {
    const int x = cell->x;
    int64_t cover = cell->cover, area = cell->area;
    for (++cell; cell < end && cell->x == x; ++cell) {
      cover += cell->cover;
      area += cell->area;
    }
    const uint8_t alpha = Coverage<kRule>((winding + cover) * (2 * kOne) - area);
    winding += cover;
    if (alpha != 0) {
      if (open && open->x + open->len == x) {
        ++open->len;
      } else {
        open = out++;
        *open = {x, 1, covers, 0};
      }
      *covers++ = alpha;
    }
    const int next = cell < end && cell->x < right ? cell->x : right;
    if (next > x + 1 && winding != 0) {
      const uint8_t inside = Coverage<kRule>(winding * (2 * kOne));
      if (inside != 0) {
        *out++ = {x + 1, next - x - 1, nullptr, inside};
        open = nullptr;
      }
    }
  }
  if (out != first) sink.Row(y, first, static_cast<size_t>(out - first));
}

}  // namespace swfsaver::flash::render
