#include "swfplayer/render/GradientPainter.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "swfplayer/render/CpuFeatures.h"
#include "swfplayer/render/Pixel4.h"
#include "swfplayer/render/PixelBlend.h"

namespace swfplayer::render {
namespace {

constexpr int kLinearLevels = 4096;

// sRGB transfer tables, built once: 8-bit code to linear light, linear light to code.
struct TransferTables {
  float toLinear[256];
  uint8_t toCode[kLinearLevels + 1];
  TransferTables() {
    for (int i = 0; i < 256; ++i) {
      const double c = i / 255.0;
      toLinear[i] =
          static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    for (int i = 0; i <= kLinearLevels; ++i) {
      const double l = static_cast<double>(i) / kLinearLevels;
      const double c = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055;
      toCode[i] = static_cast<uint8_t>(std::lround(std::clamp(c, 0.0, 1.0) * 255));
    }
  }
};

const TransferTables& Transfer() {
  static const TransferTables tables;
  return tables;
}

// Entries [from, to) of the segment from stop a (at ratio `start`) to stop b, `span` ratios
// later, straight colours: in sRGB with 16.16 fixed-point steps, in linear light through the
// transfer tables. Entries past the segment's end take b; a segment of no span is a.
void FillSegment(Rgba a, Rgba b, int start, int span, int from, int to, bool linear, Rgba* out) {
  if (span <= 0) {
    std::fill(out + from, out + to, a);
    return;
  }
  if (linear) {
    const TransferTables& tt = Transfer();
    auto mix = [&](uint8_t x, uint8_t y, float t) {
      const float l = tt.toLinear[x] + (tt.toLinear[y] - tt.toLinear[x]) * t;
      return tt.toCode[static_cast<int>(l * kLinearLevels + 0.5f)];  // l within [0, 1]
    };
    for (int i = from; i < to; ++i) {
      const int k = std::min(i - start, span);
      const float t = static_cast<float>(k) / static_cast<float>(span);
      out[i] = {mix(a.r, b.r, t), mix(a.g, b.g, t), mix(a.b, b.b, t),
                static_cast<uint8_t>((a.a * (span - k) + b.a * k + span / 2) / span)};
    }
    return;
  }
  const uint8_t ca[4] = {a.r, a.g, a.b, a.a}, cb[4] = {b.r, b.g, b.b, b.a};
  int32_t base[4], step[4];
  for (int c = 0; c < 4; ++c) {
    base[c] = (int32_t{ca[c]} << 16) + 0x8000;
    step[c] = ((int32_t{cb[c]} - ca[c]) << 16) / span;
  }
  for (int i = from; i < to; ++i) {
    const int k = std::min(i - start, span);
    uint8_t v[4];
    for (int c = 0; c < 4; ++c) v[c] = static_cast<uint8_t>((base[c] + k * step[c]) >> 16);
    out[i] = {v[0], v[1], v[2], v[3]};
  }
}

// A position t (0 to 1 across the gradient) picks entry round(256 t): the ratios sit 1/256
// apart, and t = 1 would be ratio 256, the last entry again. NaN and values out of range land
// at the ends.
constexpr float kLastPosition = 255.0f / 256;
inline int Index(float t) {
  t = t > 0 ? t : 0;
  t = t < kLastPosition ? t : kLastPosition;
  return static_cast<int>(t * 256 + 0.5f);
}

inline float Floor(float t) {  // |t| < 2^31
  const float truncated = static_cast<float>(static_cast<int>(t));
  return truncated > t ? truncated - 1 : truncated;
}

// Far out a repeating pattern is finer than a pixel anyway; the bound keeps Floor exact.
constexpr float kSpreadBound = 1e6f;

template <Spread kSpread>
inline float SpreadPosition(float t) {
  if constexpr (kSpread == Spread::kPad) {
    return t;
  } else {
    t = t > -kSpreadBound ? t : -kSpreadBound;
    t = t < kSpreadBound ? t : kSpreadBound;
    if constexpr (kSpread == Spread::kRepeat) {
      return t - Floor(t);
    } else {
      t = t < 0 ? -t : t;
      t -= 2 * Floor(t * 0.5f);
      return t > 1 ? 2 - t : t;
    }
  }
}

// Gradient positions to colours through the table, four at a time; the same arithmetic as
// SpreadPosition and Index (max and min return their second operand for NaN).
template <Spread kSpread>
void ToColors(const float* t, int n, const uint32_t* table, uint32_t* out) {
  int i = 0;
  const __m128i zeroI = _mm_setzero_si128();
  const __m128 zero = _mm_castsi128_ps(zeroI), one = _mm_set1_ps(1), two = _mm_set1_ps(2);
  auto floor4 = [&](__m128 v) {
    const __m128 truncated = _mm_cvtepi32_ps(_mm_cvttps_epi32(v));
    return _mm_sub_ps(truncated, _mm_and_ps(_mm_cmpgt_ps(truncated, v), one));
  };
  for (; i + 4 <= n; i += 4) {
    __m128 v = _mm_loadu_ps(t + i);
    if constexpr (kSpread != Spread::kPad) {
      v = _mm_min_ps(_mm_max_ps(v, _mm_set1_ps(-kSpreadBound)), _mm_set1_ps(kSpreadBound));
      if constexpr (kSpread == Spread::kRepeat) {
        v = _mm_sub_ps(v, floor4(v));
      } else {
        v = _mm_andnot_ps(_mm_set1_ps(-0.0f), v);
        v = _mm_sub_ps(v, _mm_mul_ps(two, floor4(_mm_mul_ps(v, _mm_set1_ps(0.5f)))));
        const __m128 over = _mm_cmpgt_ps(v, one);
        v = _mm_or_ps(_mm_and_ps(over, _mm_sub_ps(two, v)), _mm_andnot_ps(over, v));
      }
    }
    v = _mm_min_ps(_mm_max_ps(v, zero), _mm_set1_ps(kLastPosition));
    const __m128i k =
        _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(v, _mm_set1_ps(256)), _mm_set1_ps(0.5f)));
    alignas(16) int32_t index[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(index), k);
    out[i] = table[index[0]];
    out[i + 1] = table[index[1]];
    out[i + 2] = table[index[2]];
    out[i + 3] = table[index[3]];
  }
  for (; i < n; ++i) out[i] = table[Index(SpreadPosition<kSpread>(t[i]))];
}

SWFPLAYER_AVX2 inline __m256 Floor8(__m256 v) {
  const __m256 truncated = _mm256_cvtepi32_ps(_mm256_cvttps_epi32(v));
  return _mm256_sub_ps(truncated,
                       _mm256_and_ps(_mm256_cmp_ps(truncated, v, _CMP_GT_OQ), _mm256_set1_ps(1)));
}

// ToColors eight at a time, the table read by one gather.
template <Spread kSpread>
SWFPLAYER_AVX2 void ToColors8(const float* t, int n, const uint32_t* table, uint32_t* out) {
  int i = 0;
  const __m256 zero = _mm256_setzero_ps(), one = _mm256_set1_ps(1), two = _mm256_set1_ps(2);
  for (; i + 8 <= n; i += 8) {
    __m256 v = _mm256_loadu_ps(t + i);
    if constexpr (kSpread != Spread::kPad) {
      v = _mm256_min_ps(_mm256_max_ps(v, _mm256_set1_ps(-kSpreadBound)),
                        _mm256_set1_ps(kSpreadBound));
      if constexpr (kSpread == Spread::kRepeat) {
        v = _mm256_sub_ps(v, Floor8(v));
      } else {
        v = _mm256_andnot_ps(_mm256_set1_ps(-0.0f), v);
        v = _mm256_sub_ps(v, _mm256_mul_ps(two, Floor8(_mm256_mul_ps(v, _mm256_set1_ps(0.5f)))));
        const __m256 over = _mm256_cmp_ps(v, one, _CMP_GT_OQ);
        v = _mm256_blendv_ps(v, _mm256_sub_ps(two, v), over);
      }
    }
    v = _mm256_min_ps(_mm256_max_ps(v, zero), _mm256_set1_ps(kLastPosition));
    const __m256i k = _mm256_cvttps_epi32(
        _mm256_add_ps(_mm256_mul_ps(v, _mm256_set1_ps(256)), _mm256_set1_ps(0.5f)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                        _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), k, 4));
  }
  ToColors<kSpread>(t + i, n - i, table, out + i);
}

// A run's place in the gradient: position (u, v) of its first pixel's centre and the step per
// pixel, in the unit circle's terms.
struct RunStart {
  float u0, v0, du, dv;
  GradientKind kind;
  float focal;
  const uint32_t* table;
};

// Straight-line passes the compilers vectorise (eight wide where inlined into an AVX2
// function): positions, then colours. Chunks keep their places along the run whatever part of
// it is asked for.
template <Spread kSpread, bool kAvx2>
[[gnu::always_inline]] inline void GenerateRun(const RunStart& run, int skip, int len,
                                               uint32_t* out) {
  constexpr int kChunk = 64;
  float t[kChunk];
  const float du = run.du, dv = run.dv;
  const int end = skip + len;
  for (int base = skip - skip % kChunk; base < end; base += kChunk) {
    const int from = std::max(skip - base, 0), n = std::min(kChunk, end - base);
    const float ub = run.u0 + du * static_cast<float>(base);
    const float vb = run.v0 + dv * static_cast<float>(base);
    if (run.kind == GradientKind::kLinear) {
      for (int i = from; i < n; ++i) t[i] = (ub + du * static_cast<float>(i) + 1) * 0.5f;
    } else if (run.kind == GradientKind::kRadial) {
      for (int i = from; i < n; ++i) {
        const float u = ub + du * static_cast<float>(i), v = vb + dv * static_cast<float>(i);
        t[i] = std::sqrt(u * u + v * v);
      }
    } else {
      // The fraction of the way from the focal point to the circle along the ray through the
      // pixel: with d = p - f, t = (f dx + sqrt(f^2 dx^2 + (1 - f^2)|d|^2)) / (1 - f^2).
      const float f = run.focal, a = 1 - f * f, inv = 1 / a;
      for (int i = from; i < n; ++i) {
        const float dx = ub + du * static_cast<float>(i) - f, dy = vb + dv * static_cast<float>(i);
        const float b = f * dx;
        t[i] = (b + std::sqrt(b * b + a * (dx * dx + dy * dy))) * inv;
      }
    }
    if constexpr (kAvx2) {
      ToColors8<kSpread>(t + from, n - from, run.table, out + (base + from - skip));
    } else {
      ToColors<kSpread>(t + from, n - from, run.table, out + (base + from - skip));
    }
  }
}

template <Spread kSpread>
SWFPLAYER_AVX2 void Generate8(const RunStart& run, int skip, int len, uint32_t* out) {
  GenerateRun<kSpread, true>(run, skip, len, out);
}

template <Spread kSpread>
void GenerateAny(const RunStart& run, int skip, int len, uint32_t* out) {
  if (Avx2Enabled()) {
    Generate8<kSpread>(run, skip, len, out);
  } else {
    GenerateRun<kSpread, false>(run, skip, len, out);
  }
}

}  // namespace

void BuildGradientTable(const Gradient& gradient, const ColorTransform& transform,
                        GradientTable& table) {
  if (gradient.stops.empty()) {
    table.fill(0);
    return;
  }
  auto byRatio = [](const GradientStop& a, const GradientStop& b) { return a.ratio < b.ratio; };
  // Stops come in order from any sane movie; a copy only for the others.
  std::vector<GradientStop> sorted;
  const std::vector<GradientStop>* source = &gradient.stops;
  if (!std::is_sorted(gradient.stops.begin(), gradient.stops.end(), byRatio)) {
    sorted = gradient.stops;
    std::stable_sort(sorted.begin(), sorted.end(), byRatio);
    source = &sorted;
  }
  const std::vector<GradientStop>& stops = *source;
  const bool linear = gradient.interpolation == Interpolation::kLinearRgb;
  // Walking up the entries, the table moves on by at most one stop per entry, once past the
  // next stop's ratio. Of stops that share a ratio, all but the last therefore show one entry
  // each, in order, the first one entry after the ratio itself (which still ends the segment
  // into the group); the segment from the last one keeps its own ratios and takes over after.
  Rgba straight[256];
  const int n = static_cast<int>(stops.size());
  int segment = -1;  // -1: before the first stop; n - 1: past the last
  int runStart = 0;
  auto finishRun = [&](int end) {
    if (segment < 0 || segment == n - 1) {
      std::fill(straight + runStart, straight + end, stops[segment < 0 ? 0 : n - 1].color);
    } else {
      const GradientStop &a = stops[segment], &b = stops[segment + 1];
      FillSegment(a.color, b.color, a.ratio, b.ratio - a.ratio, runStart, end, linear, straight);
    }
    runStart = end;
  };
  for (int i = 0; i < 256; ++i) {
    if (segment + 1 < n && i > stops[segment + 1].ratio) {
      finishRun(i);
      ++segment;
    }
  }
  finishRun(256);
  const bool identity = transform.IsIdentity();
  for (int i = 0; i < 256; ++i) {
    table[i] = Premultiply(identity ? straight[i] : transform.Apply(straight[i]));
  }
}

void GradientPainter::Setup(const Gradient& gradient, const Matrix& gradientToDevice,
                            const ColorTransform& transform) {
  BuildGradientTable(gradient, transform, table_);
  kind_ = gradient.kind;
  spread_ = gradient.spread;
  // At |focal| = 1 the focal point sits on the circle and the formula divides by zero.
  focal_ =
      std::isfinite(gradient.focalPoint) ? std::clamp(gradient.focalPoint, -0.998f, 0.998f) : 0.0f;
  const auto inverse = gradientToDevice.Inverse();
  singular_ = !inverse;
  if (singular_) return;
  constexpr double kScale = 1.0 / 16384;
  ux_ = inverse->a * kScale;
  uy_ = inverse->c * kScale;
  u0_ = inverse->tx * kScale;
  vx_ = inverse->b * kScale;
  vy_ = inverse->d * kScale;
  v0_ = inverse->ty * kScale;
}

void GradientPainter::GeneratePart(int x, int skip, int y, int len, uint32_t* out) const {
  if (singular_) {  // squashed to a line: everything lies beyond its end
    std::fill(out, out + len, table_[255]);
    return;
  }
  const double cx = x + 0.5, cy = y + 0.5;
  const RunStart run{static_cast<float>(ux_ * cx + uy_ * cy + u0_),
                     static_cast<float>(vx_ * cx + vy_ * cy + v0_),
                     static_cast<float>(ux_),
                     static_cast<float>(vx_),
                     kind_,
                     focal_,
                     table_.data()};
  switch (spread_) {
    case Spread::kPad:
      GenerateAny<Spread::kPad>(run, skip, len, out);
      break;
    case Spread::kReflect:
      GenerateAny<Spread::kReflect>(run, skip, len, out);
      break;
    case Spread::kRepeat:
      GenerateAny<Spread::kRepeat>(run, skip, len, out);
      break;
  }
}

}  // namespace swfplayer::render
