#include "swfplayer/render/BitmapSampler.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "swfplayer/render/PixelBlend.h"
#include "swfplayer/render/Pixel4.h"

namespace swfplayer::render {
namespace {

// floor(p) for |p| < 2^31 without a library call (SSE2 has no rounding instruction).
inline int FloorToInt(double p) {
  const int t = static_cast<int>(p);
  return t - (static_cast<double>(t) > p ? 1 : 0);
}

// An integral position along an axis of n pixels to the pixel it picks.
inline int AxisIndex(int p, int n, bool repeat) {
  if (repeat) {
    const int r = p % n;
    return r < 0 ? r + n : r;
  }
  return std::clamp(p, 0, n - 1);
}

// The share of the next pixel for a position f of the way between two centres: round(256 f).
inline uint32_t Weight(double f) { return static_cast<uint32_t>(f * 256 + 0.5); }

inline uint32_t At(const BitmapGrid& g, int col, int line) {
  return g.pixels[static_cast<size_t>(line) * static_cast<size_t>(g.width) + col];
}

uint32_t NearestAt(const BitmapGrid& g, double u, double v) {
  return ClampPremultiplied(At(g, AxisIndex(FloorToInt(u), g.width, g.repeat),
                               AxisIndex(FloorToInt(v), g.height, g.repeat)));
}

uint32_t BilinearAt(const BitmapGrid& g, double u, double v) {
  u -= 0.5;
  v -= 0.5;
  const int fu = FloorToInt(u), fv = FloorToInt(v);
  const uint32_t wx = Weight(u - fu), wy = Weight(v - fv);
  const int c0 = AxisIndex(fu, g.width, g.repeat), c1 = AxisIndex(fu + 1, g.width, g.repeat);
  const int l0 = AxisIndex(fv, g.height, g.repeat), l1 = AxisIndex(fv + 1, g.height, g.repeat);
  const uint32_t top = LerpPixel(At(g, c0, l0), At(g, c1, l0), wx);
  const uint32_t bottom = LerpPixel(At(g, c0, l1), At(g, c1, l1), wx);
  return ClampPremultiplied(LerpPixel(top, bottom, wy));
}

using namespace pixel4;

// Indices are worked out for this many pixels, then their pixels fetched and mixed.
constexpr int kChunk = 64;

inline __m128d Floor2(__m128d p) {  // |p| < 2^31
  const __m128d t = _mm_cvtepi32_pd(_mm_cvttpd_epi32(p));
  return _mm_sub_pd(t, _mm_and_pd(_mm_cmpgt_pd(t, p), _mm_set1_pd(1)));
}

// Two integral positions to two int32 lanes (the low half of the result).
inline __m128i ToInt2(__m128d p) { return _mm_cvttpd_epi32(p); }

// AxisIndex for two integral positions, kept in doubles, where SSE2 has min and max.
class Axis2 {
 public:
  Axis2(int n, bool repeat)
      : n_(_mm_set1_pd(n)),
        inverse_(_mm_set1_pd(1.0 / n)),
        last_(_mm_set1_pd(n - 1)),
        size_(n),
        repeat_(repeat) {}

  // Before a chunk whose integral positions lie within [lo, hi]. A repeating axis that the
  // chunk crosses less than once more wraps from a multiple of n at or below lo: one
  // subtraction, one correction. Where neither p nor p + 1 of any position needs wrapping or
  // clamping, the chunk is interior: the index is p less that multiple (0 when clipped).
  void Chunk(int lo, int hi) {
    const int base = repeat_ ? lo - AxisIndex(lo, size_, true) : 0;
    const int64_t reach = static_cast<int64_t>(hi) - base;
    near_ = repeat_ && reach < 2 * static_cast<int64_t>(size_);
    interior_ = lo >= base && reach <= size_ - 2;
    base_ = _mm_set1_pd(base);
  }
  bool Interior() const { return interior_; }
  __m128d Offset(__m128d p) const { return _mm_sub_pd(p, base_); }

  __m128d Index(__m128d p) const {
    const __m128d zero = _mm_setzero_pd();
    if (!repeat_) return _mm_min_pd(_mm_max_pd(p, zero), last_);
    __m128d r;
    if (near_) {
      r = _mm_sub_pd(p, base_);
    } else {
      // p - n floor(p / n), with a quotient that may be one off either way; the corrections
      // take that back, so the remainder is exact.
      r = _mm_sub_pd(p, _mm_mul_pd(Floor2(_mm_mul_pd(p, inverse_)), n_));
      r = _mm_add_pd(r, _mm_and_pd(_mm_cmplt_pd(r, zero), n_));
    }
    return _mm_sub_pd(r, _mm_and_pd(_mm_cmpge_pd(r, n_), n_));
  }
  // The index of p + 1, given p's.
  __m128d Next(__m128d p, __m128d index) const {
    const __m128d one = _mm_set1_pd(1);
    if (!repeat_) return Index(_mm_add_pd(p, one));
    const __m128d next = _mm_add_pd(index, one);
    return _mm_sub_pd(next, _mm_and_pd(_mm_cmpge_pd(next, n_), n_));
  }

 private:
  __m128d n_, inverse_, last_, base_ = _mm_setzero_pd();
  int size_;
  bool repeat_, near_ = false, interior_ = false;
};

// Pixel numbers k and k + 1 along the span, stepped two at a time (exact in doubles).
class PixelPair {
 public:
  explicit PixelPair(int k) : k_(_mm_set_pd(k + 1.0, k)) {}
  void Advance() { k_ = _mm_add_pd(k_, _mm_set1_pd(2)); }
  // Their positions along one axis, as the reference computes them.
  __m128d Positions(double p0, double dp) const {
    return _mm_add_pd(_mm_set1_pd(p0), _mm_mul_pd(_mm_set1_pd(dp), k_));
  }

 private:
  __m128d k_;
};

// The floors of the positions (less offset) of pixels from and to of the span, in order.
inline void FloorRange(double p0, double dp, double offset, int from, int to, int& lo, int& hi) {
  lo = FloorToInt(p0 + dp * from - offset);
  hi = FloorToInt(p0 + dp * to - offset);
  if (lo > hi) std::swap(lo, hi);
}

// round(256 (p - floor p)): the weight of the next pixel, in the low two int32 lanes.
inline __m128i Weights2(__m128d p, __m128d floor) {
  return ToInt2(_mm_add_pd(_mm_mul_pd(_mm_sub_pd(p, floor), _mm_set1_pd(256)), _mm_set1_pd(0.5)));
}

inline Factors LoadWeights(const int32_t* w) {
  return Spread(_mm_loadu_si128(reinterpret_cast<const __m128i*>(w)));
}

inline void Store2(int32_t* to, __m128i lanes) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(to), lanes);
}

// Where the span keeps to one bitmap row (no rotation or skew), the rows and their weight are
// worked out once; otherwise per pixel.
template <bool kOneRow>
void Bilinear(const BitmapGrid& g, const SpanSteps& steps, int first, int len, uint32_t* out) {
  const auto [u0, v0, du, dv] = steps;
  Axis2 columns(g.width, g.repeat), lines(g.height, g.repeat);
  const __m128d half = _mm_set1_pd(0.5), width = _mm_set1_pd(g.width);
  // The corner offsets from their bases: in one row, columns from each row's start; else
  // whole offsets from the first pixel.
  alignas(16) int32_t o00[kChunk], o01[kChunk], o10[kChunk], o11[kChunk], wx[kChunk], wy[kChunk];
  const uint32_t* top = g.pixels;
  const uint32_t* bottom = g.pixels;
  Factors rowWeight{};
  if constexpr (kOneRow) {
    const double v = v0 - 0.5;
    const int fv = FloorToInt(v);
    top += static_cast<size_t>(AxisIndex(fv, g.height, g.repeat)) * g.width;
    bottom += static_cast<size_t>(AxisIndex(fv + 1, g.height, g.repeat)) * g.width;
    rowWeight = Spread(_mm_set1_epi32(static_cast<int>(Weight(v - fv))));
  }
  for (int base = 0; base < len; base += kChunk) {
    const int n = std::min(kChunk, len - base);
    int lo, hi;
    FloorRange(u0, du, 0.5, first + base, first + base + n - 1, lo, hi);
    columns.Chunk(lo, hi);
    if constexpr (!kOneRow) {
      FloorRange(v0, dv, 0.5, first + base, first + base + n - 1, lo, hi);
      lines.Chunk(lo, hi);
    }
    PixelPair k(first + base);
    int i = 0;
    // An odd n works out one pixel more, never fetched.
    if (columns.Interior() && (kOneRow || lines.Interior())) {
      // Every right neighbour is the next pixel in memory, every lower one a row further.
      for (; i < n; i += 2, k.Advance()) {
        const __m128d u = _mm_sub_pd(k.Positions(u0, du), half);
        const __m128d fu = Floor2(u);
        Store2(wx + i, Weights2(u, fu));
        __m128d offset = columns.Offset(fu);
        if constexpr (!kOneRow) {
          const __m128d v = _mm_sub_pd(k.Positions(v0, dv), half);
          const __m128d fv = Floor2(v);
          Store2(wy + i, Weights2(v, fv));
          offset = _mm_add_pd(_mm_mul_pd(lines.Offset(fv), width), offset);
        }
        Store2(o00 + i, ToInt2(offset));
      }
      const uint32_t* lower = kOneRow ? bottom : g.pixels + g.width;
      for (i = 0; i + 4 <= n; i += 4) {
        Factors down = rowWeight;
        if constexpr (!kOneRow) down = LoadWeights(wy + i);
        __m128i tl, tr, bl, br;
        GatherPairs4(top, o00 + i, tl, tr);
        GatherPairs4(lower, o00 + i, bl, br);
        Store4(out + base + i, Bilinear4(tl, tr, bl, br, LoadWeights(wx + i), down));
      }
    } else {
      for (; i < n; i += 2, k.Advance()) {
        const __m128d u = _mm_sub_pd(k.Positions(u0, du), half);
        const __m128d fu = Floor2(u);
        const __m128d c0 = columns.Index(fu), c1 = columns.Next(fu, c0);
        Store2(wx + i, Weights2(u, fu));
        if constexpr (kOneRow) {
          Store2(o00 + i, ToInt2(c0));
          Store2(o01 + i, ToInt2(c1));
        } else {
          const __m128d v = _mm_sub_pd(k.Positions(v0, dv), half);
          const __m128d fv = Floor2(v);
          const __m128d l0 = lines.Index(fv);
          const __m128d r0 = _mm_mul_pd(l0, width), r1 = _mm_mul_pd(lines.Next(fv, l0), width);
          Store2(wy + i, Weights2(v, fv));
          Store2(o00 + i, ToInt2(_mm_add_pd(r0, c0)));
          Store2(o01 + i, ToInt2(_mm_add_pd(r0, c1)));
          Store2(o10 + i, ToInt2(_mm_add_pd(r1, c0)));
          Store2(o11 + i, ToInt2(_mm_add_pd(r1, c1)));
        }
      }
      const int32_t* lowerLeft = kOneRow ? o00 : o10;
      const int32_t* lowerRight = kOneRow ? o01 : o11;
      for (i = 0; i + 4 <= n; i += 4) {
        Factors down = rowWeight;
        if constexpr (!kOneRow) down = LoadWeights(wy + i);
        Store4(out + base + i,
               Bilinear4(Gather4(top, o00 + i), Gather4(top, o01 + i), Gather4(bottom, lowerLeft + i),
                         Gather4(bottom, lowerRight + i), LoadWeights(wx + i), down));
      }
    }
    for (; i < n; ++i) {
      const int k = first + base + i;
      out[base + i] = BilinearAt(g, u0 + du * k, v0 + dv * k);
    }
  }
}

template <bool kOneRow>
void Nearest(const BitmapGrid& g, const SpanSteps& steps, int first, int len, uint32_t* out) {
  const auto [u0, v0, du, dv] = steps;
  Axis2 columns(g.width, g.repeat), lines(g.height, g.repeat);
  const __m128d width = _mm_set1_pd(g.width);
  alignas(16) int32_t offsets[kChunk];
  const uint32_t* row = g.pixels;
  if constexpr (kOneRow) {
    row += static_cast<size_t>(AxisIndex(FloorToInt(v0), g.height, g.repeat)) * g.width;
  }
  for (int base = 0; base < len; base += kChunk) {
    const int n = std::min(kChunk, len - base);
    int lo, hi;
    FloorRange(u0, du, 0, first + base, first + base + n - 1, lo, hi);
    columns.Chunk(lo, hi);
    if constexpr (!kOneRow) {
      FloorRange(v0, dv, 0, first + base, first + base + n - 1, lo, hi);
      lines.Chunk(lo, hi);
    }
    PixelPair k(first + base);
    for (int i = 0; i < n; i += 2, k.Advance()) {
      const __m128d column = columns.Index(Floor2(k.Positions(u0, du)));
      if constexpr (kOneRow) {
        Store2(offsets + i, ToInt2(column));
      } else {
        const __m128d line = lines.Index(Floor2(k.Positions(v0, dv)));
        Store2(offsets + i, ToInt2(_mm_add_pd(_mm_mul_pd(line, width), column)));
      }
    }
    int i = 0;
    for (; i + 4 <= n; i += 4) Store4(out + base + i, ClampToAlpha4(Gather4(row, offsets + i)));
    for (; i < n; ++i) {
      const int k = first + base + i;
      out[base + i] = NearestAt(g, u0 + du * k, v0 + dv * k);
    }
  }
}

}  // namespace

void SampleNearest(const BitmapGrid& grid, const SpanSteps& steps, int first, int len,
                   uint32_t* out) {
  if (steps.dv == 0) {
    Nearest<true>(grid, steps, first, len, out);
  } else {
    Nearest<false>(grid, steps, first, len, out);
  }
}

void SampleBilinear(const BitmapGrid& grid, const SpanSteps& steps, int first, int len,
                    uint32_t* out) {
  if (steps.dv == 0) {
    Bilinear<true>(grid, steps, first, len, out);
  } else {
    Bilinear<false>(grid, steps, first, len, out);
  }
}

}  // namespace swfplayer::render
