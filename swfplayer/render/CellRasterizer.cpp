#include "swfplayer/render/CellRasterizer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include <emmintrin.h>

namespace swfplayer::render {
namespace {

constexpr int kShift = 8;
constexpr int kOne = 1 << kShift;
// Cells of a band (2 MB): a band holds as many rows of the shape's width as fit.
constexpr size_t kBandCells = size_t{1} << 18;
// log2 of the cells per touched flag: 4 cells (32 bytes) measured faster than 8 or 16.
constexpr int kChunkShift = 2;
// val (the sweep's sum) for a fully covered pixel of winding one.
constexpr int64_t kFull = int64_t{kOne} * kOne * 2;
// Shapes of at most this many cells (128 KB) with fewer edges than kDenseEdges are swept
// through the dense store, whose sums take 32 bits: every sum there, within a group of cells
// or across a row, is below 2^19 a crossing edge.
constexpr size_t kDenseCells = size_t{1} << 15;
constexpr size_t kDenseEdges = size_t{1} << 12;
// The widest dense row: one span a row pays for the pixels between its ends.
constexpr size_t kDenseWidth = 64;

int64_t FloorDiv(int64_t a, int64_t b) {  // b > 0
  const int64_t q = a / b;
  return (a % b < 0) ? q - 1 : q;
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

// The running sums of four 32-bit values, each added to before: (b + v0, b + v0 + v1, ...).
inline __m128i RunningSums4(__m128i v, __m128i before) {
  v = _mm_add_epi32(v, _mm_slli_si128(v, 4));
  v = _mm_add_epi32(v, _mm_slli_si128(v, 8));
  return _mm_add_epi32(v, before);
}

// Coverage<kRule> of four sums, each in its 32 bits. Under the even-odd rule only the sum's
// low 18 bits count, and they fold the same way for the sum and its negation.
template <FillRule kRule>
inline __m128i CoverageOf4(__m128i v) {
  const __m128i full = _mm_set1_epi32(static_cast<int32_t>(kFull));
  if constexpr (kRule == FillRule::kNonZero) {
    const __m128i sign = _mm_srai_epi32(v, 31);
    v = _mm_sub_epi32(_mm_xor_si128(v, sign), sign);
    const __m128i over = _mm_cmpgt_epi32(v, full);
    v = _mm_or_si128(_mm_and_si128(over, full), _mm_andnot_si128(over, v));
  } else {
    v = _mm_and_si128(v, _mm_set1_epi32(static_cast<int32_t>(2 * kFull - 1)));
    const __m128i over = _mm_cmpgt_epi32(v, full);
    const __m128i folded = _mm_sub_epi32(_mm_set1_epi32(static_cast<int32_t>(2 * kFull)), v);
    v = _mm_or_si128(_mm_and_si128(over, folded), _mm_andnot_si128(over, v));
  }
  return _mm_srli_epi32(_mm_add_epi32(_mm_sub_epi32(_mm_slli_epi32(v, 8), v),
                                      _mm_set1_epi32(static_cast<int32_t>(kFull / 2))),
                        17);
}

inline void StoreCovers4(__m128i coverage, uint8_t* out) {
  const int32_t packed =
      _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(coverage, coverage), coverage));
  std::memcpy(out, &packed, 4);
}

// Coverage<kRule> of four cells in a row, winding being the sum of the covers left of the
// first, worked out four at once in 32 bits; adds their covers to winding. False, with nothing
// changed, when a sum could leave 32 bits (the caller then takes the cells one by one).
template <FillRule kRule>
inline bool Coverage4(const void* fourCells, int64_t& winding, uint8_t alpha[4]) {
  if (winding <= -(int64_t{1} << 20) || winding >= (int64_t{1} << 20)) return false;
  const __m128i* cells = static_cast<const __m128i*>(fourCells);  // cover, area, cover, ...
  const __m128 lo = _mm_castsi128_ps(_mm_loadu_si128(cells));
  const __m128 hi = _mm_castsi128_ps(_mm_loadu_si128(cells + 1));
  const __m128i cover = _mm_castps_si128(_mm_shuffle_ps(lo, hi, _MM_SHUFFLE(2, 0, 2, 0)));
  const __m128i area = _mm_castps_si128(_mm_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 1, 3, 1)));
  // cover within [-2^18, 2^18) and area within [-2^29, 2^29): no sum below reaches 2^31.
  const __m128i coverOut = _mm_srli_epi32(_mm_add_epi32(cover, _mm_set1_epi32(1 << 18)), 19);
  const __m128i areaOut = _mm_srli_epi32(_mm_add_epi32(area, _mm_set1_epi32(1 << 29)), 30);
  const __m128i out = _mm_or_si128(coverOut, areaOut);
  if (_mm_movemask_epi8(_mm_cmpeq_epi32(out, _mm_setzero_si128())) != 0xFFFF) return false;
  // The winding with the covers up to and with each cell.
  const __m128i sum = RunningSums4(cover, _mm_set1_epi32(static_cast<int32_t>(winding)));
  // (winding + cover) 2 kOne - area, as Coverage takes it
  StoreCovers4(CoverageOf4<kRule>(_mm_sub_epi32(_mm_slli_epi32(sum, kShift + 1), area)), alpha);
  winding = _mm_cvtsi128_si32(_mm_shuffle_epi32(sum, _MM_SHUFFLE(3, 3, 3, 3)));
  return true;
}

// Narrows [first, last) to the covered pixels of covers there, from its first to its last
// (first == last when none is).
inline void CoveredPart(const uint8_t* covers, int& first, int& last) {
  while (first < last && covers[first] == 0) ++first;
  while (last > first && covers[last - 1] == 0) --last;
}

}  // namespace

void CellRasterizer::Reset(const PixelBox& clip, const PixelBox& window, Quality quality) {
  clip_ = clip;
  const PixelBox rows = clip.Intersect(window);
  windowTop_ = rows.Empty() ? 0 : rows.top;
  windowBottom_ = rows.Empty() ? 0 : rows.bottom;
  quality_ = quality;
  edges_.clear();
}

void CellRasterizer::AddContours(const Contours& contours, Point offset) {
  if (windowTop_ >= windowBottom_) return;
  if (contours.Measured() && contours.PointCount() > 0) {
    const DeviceRect& b = contours.Bounds();
    // Adding the offset keeps the order of values, so these bounds hold for every point.
    if (b.left + offset.x >= clip_.left && b.right + offset.x <= clip_.right &&
        b.top + offset.y >= clip_.top && b.bottom + offset.y <= clip_.bottom) {
      AddContoursInside(contours, offset);
      return;
    }
  }
  ForEachSegment(
      contours, offset,
      [&](size_t i) {
        const Point p = contours.At(i);
        return Point{p.x + offset.x, p.y + offset.y};
      },
      [this](Point a, Point b) { AddLine(a, b); });
}

// The usual case, an outline wholly inside the clip: each point is rounded to fixed point once
// and nothing is cut. The edges are those AddLine would make, but for a few that it would
// keep and that have no height in the window's rows, where they add nothing.
void CellRasterizer::AddContoursInside(const Contours& contours, Point offset) {
  struct Fixed {
    int32_t x, y;
    bool valid;  // false for a point with a NaN, which AddLine leaves out with its segments
  };
  const int32_t top = windowTop_ * kOne, bottom = windowBottom_ * kOne;
  static_assert(sizeof(Point) == 2 * sizeof(double));
  const __m128d shift = _mm_set_pd(offset.y, offset.x);
  const __m128d scale = _mm_set1_pd(kOne), half = _mm_set1_pd(0.5);
  ForEachSegment(
      contours, offset,
      [&](size_t i) {
        // x and y at once, as (p + offset) * kOne + 0.5 in doubles: within the clip, so not
        // negative, and truncation rounds as PushEdge does.
        const __m128d p = _mm_add_pd(_mm_loadu_pd(&contours.At(i).x), shift);
        const __m128i fixed = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(p, scale), half));
        return Fixed{_mm_cvtsi128_si32(fixed), _mm_cvtsi128_si32(_mm_srli_si128(fixed, 4)),
                     _mm_movemask_pd(_mm_cmpunord_pd(p, p)) == 0};
      },
      [&](const Fixed& a, const Fixed& b) {
        if (!a.valid || !b.valid) return;
        if (a.y < b.y) {
          if (b.y > top && a.y < bottom) edges_.push_back({a.x, a.y, b.x, b.y, 1});
        } else if (b.y < a.y) {
          if (a.y > top && b.y < bottom) edges_.push_back({b.x, b.y, a.x, a.y, -1});
        }
      });
}

// Calls segment(at(i), at(i + 1)) for every segment of every contour, the closing one last,
// each point worked out once. In a measured outline the blocks of points wholly above or below
// the window are passed over: none of the segments starting in them adds to its rows.
template <typename PointAt, typename Segment>
void CellRasterizer::ForEachSegment(const Contours& contours, Point offset, PointAt at,
                                    Segment segment) {
  constexpr size_t kBlock = Contours::kBlock;
  const bool measured = contours.Measured();
  auto misses = [&](size_t b) {
    return measured && (contours.BlockBottom(b) + offset.y <= windowTop_ ||
                        contours.BlockTop(b) + offset.y >= windowBottom_);
  };
  for (size_t c = 0; c < contours.ContourCount(); ++c) {
    const size_t begin = contours.ContourBegin(c), end = contours.ContourEnd(c);
    const auto first = at(begin);
    auto from = first;
    size_t i = begin;
    while (i + 1 < end) {
      const size_t blockEnd = std::min((i / kBlock + 1) * kBlock, end - 1);
      if (misses(i / kBlock)) {
        i = blockEnd;
        from = at(i);
        continue;
      }
      for (; i < blockEnd; ++i) {
        const auto to = at(i + 1);
        segment(from, to);
        from = to;
      }
    }
    segment(from, first);
  }
}

void CellRasterizer::AddLine(Point a, Point b) {
  if (windowTop_ >= windowBottom_ || a.y == b.y || !std::isfinite(a.x + a.y + b.x + b.y)) {
    return;
  }
  int dir = 1;
  if (a.y > b.y) {  // one direction for every edge, so that a reversed copy cancels exactly
    std::swap(a, b);
    dir = -1;
  }
  // An edge wholly above or below the window adds nothing to its rows.
  if (b.y <= windowTop_ || a.y >= windowBottom_) return;
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
  int32_t yMin = edges_[0].y0, yMax = edges_[0].y1, xMin = edges_[0].x0, xMax = xMin;
  for (const Edge& e : edges_) {
    yMin = std::min(yMin, e.y0);
    yMax = std::max(yMax, e.y1);
    xMin = std::min({xMin, e.x0, e.x1});
    xMax = std::max({xMax, e.x0, e.x1});
  }
  const int rowBegin = std::max(yMin >> kShift, windowTop_);
  const int rowEnd = std::min(((yMax - 1) >> kShift) + 1, windowBottom_);
  if (rowBegin >= rowEnd) return;
  // Rows only as wide as the shape keep a small shape's cells on few memory pages. One more
  // cell on the right: centre sampling may step a pixel past the rightmost edge.
  originX_ = xMin >> kShift;
  stride_ = static_cast<size_t>((xMax >> kShift) - originX_ + 2);
  if (SweepDense(rowBegin, rowEnd, rule, sink)) return;
  const size_t width = stride_;  // the most pixels a row's spans can hold
  words_ = ((stride_ >> kChunkShift) >> 6) + 1;
  bandRows_ = static_cast<int>(std::clamp<size_t>(
      bandRowsOverride_ ? bandRowsOverride_ : kBandCells / stride_, 1, rowEnd - rowBegin));
  const size_t rows = static_cast<size_t>(bandRows_);
  // New elements are zero, and sweeping returns every used one to zero.
  if (cells_.size() < rows * stride_) cells_.resize(rows * stride_);
  if (touched_.size() < rows * words_) touched_.resize(rows * words_);
  if (spans_.size() < width + 2) spans_.resize(width + 2);
  if (covers_.size() < width + 2) covers_.resize(width + 2);
  for (int top = rowBegin; top < rowEnd; top += bandRows_) {
    const int bottom = std::min(top + bandRows_, rowEnd);
    bandTop_ = top;
    for (const Edge& e : edges_) {
      if (e.y1 > top * kOne && e.y0 < bottom * kOne) RenderEdge<false>(e, top, bottom);
    }
    for (int row = top; row < bottom; ++row) {
      if (rule == FillRule::kNonZero) {
        EmitRow<FillRule::kNonZero>(row, sink);
      } else {
        EmitRow<FillRule::kEvenOdd>(row, sink);
      }
    }
  }
}

template <bool kDense>
void CellRasterizer::RenderEdge(const Edge& e, int rowBegin, int rowEnd) {
  const int64_t yTop = std::max<int64_t>(e.y0, int64_t{rowBegin} * kOne);
  const int64_t yBottom = std::min<int64_t>(e.y1, int64_t{rowEnd} * kOne);
  if (yTop >= yBottom) return;
  if (quality_ == Quality::kLow) {
    RenderSampledEdge<kDense>(e, yTop, yBottom);
    return;
  }
  int row = static_cast<int>(yTop >> kShift);
  const int lastRow = static_cast<int>((yBottom - 1) >> kShift);
  const int32_t fyTop = static_cast<int32_t>(yTop - int64_t{row} * kOne);
  const int32_t fyBottom = static_cast<int32_t>(yBottom - int64_t{lastRow} * kOne);
  if (row == lastRow && yTop == e.y0 && yBottom == e.y1) {  // most edges of small shapes
    RowSegment<kDense>(row, e.x0, fyTop, e.x1, fyBottom, e.dir);
    return;
  }
  if (e.x0 == e.x1) {  // vertical: one cell per row, no arithmetic
    const int cx = e.x0 >> kShift;
    const int32_t twiceFx = 2 * (e.x0 - cx * kOne);
    int32_t from = fyTop;
    for (; row <= lastRow; ++row) {
      const int32_t h = (row == lastRow ? fyBottom : kOne) - from;
      AddCell<kDense>(cx, row, h * e.dir, h * twiceFx * e.dir);
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
  for (; row < lastRow; ++row, from = 0) {
    const int32_t next = xAt(int64_t{row + 1} * kOne);
    RowSegment<kDense>(row, x, from, next, kOne, e.dir);
    x = next;
  }
  RowSegment<kDense>(lastRow, x, from, yBottom == e.y1 ? e.x1 : xAt(yBottom), fyBottom, e.dir);
}

// Without anti-aliasing a pixel is inside when its centre is: where the edge crosses a row's
// centre line, the first pixel whose centre lies right of it gets the whole row's cover.
template <bool kDense>
void CellRasterizer::RenderSampledEdge(const Edge& e, int64_t yTop, int64_t yBottom) {
  const double slope = static_cast<double>(e.x1 - e.x0) / (e.y1 - e.y0);
  const int32_t xLow = std::min(e.x0, e.x1), xHigh = std::max(e.x0, e.x1);
  for (int64_t row = FloorDiv(yTop - kOne / 2 + kOne - 1, kOne);; ++row) {
    const int64_t sample = row * kOne + kOne / 2;
    if (sample >= yBottom) break;
    const double exact = e.x0 + static_cast<double>(sample - e.y0) * slope;
    const int32_t x = std::clamp(static_cast<int32_t>(exact), xLow, xHigh);
    // The first pixel whose centre is at or right of the crossing: a pixel is in when its
    // centre lies in [left, right), as rows are in when theirs lies in [top, bottom).
    const int px = (x - kOne / 2 + kOne - 1) >> kShift;
    AddCell<kDense>(std::min(px, clip_.right), static_cast<int>(row), kOne * e.dir, 0);
  }
}

// Sums wrap: thousands of edges through one cell stay defined, and only a winding in the
// millions would read wrong.
template <bool kDense>
inline void CellRasterizer::AddCell(int x, int y, int32_t cover, int32_t area) {
  const size_t r = static_cast<size_t>(y - bandTop_), i = static_cast<size_t>(x - originX_);
  if constexpr (kDense) {
    // Past a row's last cell only sampled edges reach, whose area is zero: the spill onto the
    // next row's first cell (or the store's spare cell) adds nothing.
    int32_t* const value = dense_.data() + r * denseStride_ + i;
    value[0] = static_cast<int32_t>(static_cast<uint32_t>(value[0]) +
                                    static_cast<uint32_t>(cover * (2 * kOne) - area));
    value[1] = static_cast<int32_t>(static_cast<uint32_t>(value[1]) + static_cast<uint32_t>(area));
    return;
  }
  Cell& cell = cells_[r * stride_ + i];
  cell.cover += static_cast<uint32_t>(cover);
  cell.area += static_cast<uint32_t>(area);
  touched_[r * words_ + (i >> (kChunkShift + 6))] |= uint64_t{1} << ((i >> kChunkShift) & 63);
}

// One row's part of an edge, fy in [0, kOne]: shares out its height and area among the cells
// it crosses. Most parts stay in one cell and are done here.
template <bool kDense>
inline void CellRasterizer::RowSegment(int row, int32_t x0, int32_t fy0, int32_t x1, int32_t fy1,
                                       int dir) {
  const int cx0 = x0 >> kShift;
  if (cx0 == (x1 >> kShift)) {
    const int32_t h = fy1 - fy0;
    AddCell<kDense>(cx0, row, h * dir, h * (x0 + x1 - 2 * cx0 * kOne) * dir);
  } else if (x0 < x1) {
    RowSegmentAcross<kDense>(row, x0, fy0, x1, fy1, dir);
  } else {
    // Reversed with the opposite sign, which leaves every cell's share the same.
    RowSegmentAcross<kDense>(row, x1, fy1, x0, fy0, -dir);
  }
}

// A part that crosses cell sides, x0 < x1: steps from one side to the next.
template <bool kDense>
void CellRasterizer::RowSegmentAcross(int row, int32_t x0, int32_t fy0, int32_t x1, int32_t fy1,
                                      int dir) {
  const int cx0 = x0 >> kShift, cx1 = x1 >> kShift;
  const int32_t fx0 = x0 - cx0 * kOne, fx1 = x1 - cx1 * kOne;
  // y where the part crosses each cell side; as for rows, any deterministic values telescope.
  const double slope = static_cast<double>(fy1 - fy0) / (x1 - x0);
  const int32_t yLow = std::min(fy0, fy1), yHigh = std::max(fy0, fy1);
  auto yAt = [&](int32_t side) {
    const double y = fy0 + static_cast<double>(side - x0) * slope;
    return std::clamp(static_cast<int32_t>(y), yLow, yHigh);  // y >= 0: truncation is floor
  };
  int32_t y = yAt((cx0 + 1) * kOne);
  AddCell<kDense>(cx0, row, (y - fy0) * dir, (y - fy0) * (fx0 + kOne) * dir);
  for (int cx = cx0 + 1; cx < cx1; ++cx) {
    const int32_t next = yAt((cx + 1) * kOne);
    AddCell<kDense>(cx, row, (next - y) * dir, (next - y) * kOne * dir);
    y = next;
  }
  AddCell<kDense>(cx1, row, (fy1 - y) * dir, (fy1 - y) * fx1 * dir);
}

template <FillRule kRule>
void CellRasterizer::EmitRow(int y, SpanSink& sink) {
  const size_t r = static_cast<size_t>(y - bandTop_);
  Cell* const cells = cells_.data() + r * stride_;
  uint64_t* const flags = touched_.data() + r * words_;
  // Pixels to the clip's right side: edges cut off there leave their winding to the end.
  const int left = originX_, width = clip_.right - originX_;
  Span* const first = spans_.data();
  Span* out = first;
  uint8_t* covers = covers_.data();
  // The run of pixels with their own coverage being extended, [runStart, runEnd), is written
  // out once it ends; runEnd is -1 when there is none.
  int runStart = 0, runEnd = -1;
  const uint8_t* runCovers = covers;
  auto endRun = [&] {
    if (runEnd > runStart) *out++ = {left + runStart, runEnd - runStart, runCovers, 0};
    runEnd = -1;
  };
  // Pixels [x, x + n), none of zero coverage: onto the run, or a new one where it breaks.
  auto extend = [&](int x, const uint8_t* alphas, int n) {
    if (x != runEnd) {
      endRun();
      runStart = x;
      runCovers = covers;
    }
    runEnd = x + n;
    std::memcpy(covers, alphas, static_cast<size_t>(n));
    covers += n;
  };
  int64_t winding = 0;         // sum of the covers left of the current pixel
  int done = 0;                // pixels before this (from left) are emitted
  auto inside = [&](int to) {  // pixels [done, to) have no cell: all as covered as the winding
    if (to <= done || winding == 0) return;
    const uint8_t alpha = Coverage<kRule>(winding * (2 * kOne));
    if (alpha == 0) return;
    endRun();
    *out++ = {left + done, to - done, nullptr, alpha};
  };
  for (size_t w = 0; w < words_; ++w) {
    uint64_t word = flags[w];
    if (word == 0) continue;
    flags[w] = 0;
    for (; word != 0; word &= word - 1) {
      const int start = static_cast<int>(((w << 6) + std::countr_zero(word)) << kChunkShift);
      const int end = std::min(start + (1 << kChunkShift), static_cast<int>(stride_));
      const int shown = std::min(end, width);
      inside(std::min(start, width));
      uint8_t four[4];
      if (shown - start == 4 && Coverage4<kRule>(cells + start, winding, four)) {
        cells[start] = cells[start + 1] = cells[start + 2] = cells[start + 3] = {0, 0};
        done = shown;
        if (four[0] && four[1] && four[2] && four[3]) {
          extend(start, four, 4);
        } else {
          for (int i = 0; i < 4; ++i) {
            if (four[i] != 0) extend(start + i, four + i, 1);
          }
        }
        continue;
      }
      for (int x = start; x < shown; ++x) {
        const int32_t cover = static_cast<int32_t>(cells[x].cover);
        const int32_t area = static_cast<int32_t>(cells[x].area);
        cells[x] = {0, 0};
        const uint8_t alpha = Coverage<kRule>((winding + cover) * (2 * kOne) - area);
        winding += cover;
        if (alpha != 0) extend(x, &alpha, 1);
      }
      // Right of the clip nothing shows, but the cells are zeroed all the same.
      for (int x = std::max(start, shown); x < end; ++x) cells[x] = {0, 0};
      done = shown;
    }
  }
  inside(width);
  endRun();
  if (out != first) sink.Row(y, first, static_cast<size_t>(out - first));
}

// A small shape's cells all fit a few pages of one dense store, and its rows are summed there
// four cells at a time without the sparse band's flags: for thousands of small shapes a frame
// the flags and the runs they break into cost more than the cells they pass over.
bool CellRasterizer::SweepDense(int rowBegin, int rowEnd, FillRule rule, SpanSink& sink) {
  const size_t rows = static_cast<size_t>(rowEnd - rowBegin);
  // Every cell within the clip, so that nothing is cut off on the right.
  if (!denseAllowed_ || stride_ > kDenseWidth || rows * stride_ > kDenseCells ||
      edges_.size() >= kDenseEdges || originX_ + static_cast<int>(stride_) > clip_.right) {
    return false;
  }
  denseStride_ = (stride_ + 3) & ~size_t{3};
  bandTop_ = rowBegin;
  // One spare cell for the last row's spill; new values are zero, and sweeping zeroes them.
  if (dense_.size() < rows * denseStride_ + 1) dense_.resize(rows * denseStride_ + 1);
  if (covers_.size() < rows * denseStride_) covers_.resize(rows * denseStride_);
  if (rowEnds_.size() < rows) rowEnds_.resize(rows);
  for (const Edge& e : edges_) RenderEdge<true>(e, rowBegin, rowEnd);
  if (rule == FillRule::kNonZero) {
    EmitDenseRows<FillRule::kNonZero>(rowBegin, rowEnd, sink);
  } else {
    EmitDenseRows<FillRule::kEvenOdd>(rowBegin, rowEnd, sink);
  }
  return true;
}

// The rows' coverage goes to the sink as one block when every row's winding comes back to
// zero by its last cell (a closed outline within the clip); otherwise each row gives one span
// from its first covered pixel to its last and, where the winding stays, the rest of the
// clip's width.
template <FillRule kRule>
void CellRasterizer::EmitDenseRows(int rowBegin, int rowEnd, SpanSink& sink) {
  const int cells = static_cast<int>(stride_);
  const int rows = rowEnd - rowBegin;
  uint8_t* const covers = covers_.data();
  bool open = false;
  for (int r = 0; r < rows; ++r) {
    int32_t* const values = dense_.data() + static_cast<size_t>(r) * denseStride_;
    uint8_t* const out = covers + static_cast<size_t>(r) * denseStride_;
    __m128i carry = _mm_setzero_si128();  // the sum of the values left of the four
    for (size_t i = 0; i < denseStride_; i += 4) {
      __m128i* const four = reinterpret_cast<__m128i*>(values + i);
      const __m128i sum = RunningSums4(_mm_loadu_si128(four), carry);
      _mm_storeu_si128(four, _mm_setzero_si128());
      carry = _mm_shuffle_epi32(sum, _MM_SHUFFLE(3, 3, 3, 3));
      StoreCovers4(CoverageOf4<kRule>(sum), out + i);
    }
    rowEnds_[static_cast<size_t>(r)] = _mm_cvtsi128_si32(carry);
    open |= rowEnds_[static_cast<size_t>(r)] != 0;
  }
  if (!open) {
    sink.Block(originX_, rowBegin, rows, cells, covers, denseStride_);
    return;
  }
  const int rest = clip_.right - originX_ - cells;
  for (int r = 0; r < rows; ++r) {
    const uint8_t* const row = covers + static_cast<size_t>(r) * denseStride_;
    int first = 0, last = cells;
    CoveredPart(row, first, last);
    Span spans[2];
    size_t count = 0;
    if (first < last) spans[count++] = {originX_ + first, last - first, row + first, 0};
    const uint8_t beyond = Coverage<kRule>(rowEnds_[static_cast<size_t>(r)]);
    if (beyond != 0 && rest > 0) spans[count++] = {originX_ + cells, rest, nullptr, beyond};
    if (count != 0) sink.Row(rowBegin + r, spans, count);
  }
}

void SpanSink::Block(int x, int top, int rows, int width, const uint8_t* covers,
                     size_t stride) {
  for (int r = 0; r < rows; ++r, covers += stride) {
    int first = 0, last = width;
    CoveredPart(covers, first, last);
    if (first == last) continue;
    const Span span{x + first, last - first, covers + first, 0};
    Row(top + r, &span, 1);
  }
}

}  // namespace swfplayer::render
