#include "swfplayer/render/PremultipliedTransform.h"

#include <algorithm>
#include <cmath>

#include "swfplayer/render/PixelBlend.h"
#include "swfplayer/render/Pixel4.h"

namespace swfplayer::render {

uint32_t TransformPremultiplied(uint32_t pixel, const ColorTransform& transform) {
  const uint32_t a = pixel >> 24;
  Rgba straight{0, 0, 0, static_cast<uint8_t>(a)};
  if (a != 0) {
    auto unpremultiply = [a](uint32_t c) {
      return static_cast<uint8_t>(std::min<uint32_t>(255, (c * 255 + a / 2) / a));
    };
    straight.r = unpremultiply((pixel >> 16) & 0xFF);
    straight.g = unpremultiply((pixel >> 8) & 0xFF);
    straight.b = unpremultiply(pixel & 0xFF);
  }
  return Premultiply(transform.Apply(straight));
}

void PremultipliedTransform::Setup(const ColorTransform& t) {
  transform_ = t;
  if (t.IsIdentity()) {
    kind_ = Kind::kNone;
  } else if (t.mulR == 1 && t.mulG == 1 && t.mulB == 1 && t.addR == 0 && t.addG == 0 &&
             t.addB == 0 && t.addA == 0 && t.mulA >= 0 && t.mulA <= 1) {
    // Only the alpha shrinks: the premultiplied pixel shrinks as a whole.
    kind_ = Kind::kAlphaScale;
    alphaScale_ = static_cast<uint32_t>(std::lround(t.mulA * 256));
  } else {
    kind_ = Kind::kFull;
  }
}

void PremultipliedTransform::Apply(uint32_t* pixels, int len) const {
  if (kind_ == Kind::kFull) {
    ApplyFull(pixels, len);
  } else if (kind_ == Kind::kAlphaScale) {
    int i = 0;
    const pixel4::Factors k = pixel4::Spread(pixel4::Splat4(alphaScale_));
    for (; i + 4 <= len; i += 4) {
      pixel4::Store4(pixels + i, pixel4::Scale4(pixel4::Load4(pixels + i), k));
    }
    for (; i < len; ++i) pixels[i] = ScalePixel(pixels[i], alphaScale_);
  }
}

// The channels of a pixel (B, G, R, A) sit in the four lanes of a register, in floats, where
// the arithmetic matches the scalar code exactly: the unpremultiplying quotient of numbers below
// 2^16 is correctly rounded and stays on the same side of every integer, and the transform's
// multiply and add are the same single-precision operations as ColorTransform's.
void PremultipliedTransform::ApplyFull(uint32_t* pixels, int len) const {
  int i = 0;
  const ColorTransform& t = transform_;
  const __m128 mul = _mm_setr_ps(t.mulB, t.mulG, t.mulR, t.mulA);
  const __m128 add = _mm_setr_ps(t.addB, t.addG, t.addR, t.addA);
  const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1), k255 = _mm_set1_ps(255);
  const __m128 alphaLane = _mm_castsi128_ps(_mm_setr_epi32(0, 0, 0, -1));
  const __m128i alphaWords = _mm_setr_epi16(0, 0, 0, -1, 0, 0, 0, -1);
  const __m128i z = _mm_setzero_si128();
  // An opaque pixel is its own straight colour; whether it stays opaque is the same for all.
  const bool opaqueStays = transform_.Apply({0, 0, 0, 255}).a == 255;
  // One pixel's straight channels through the transform, as int32 lanes of 0..255.
  auto transform = [&](__m128i channels, bool opaque) {
    __m128 c = _mm_cvtepi32_ps(channels);
    if (!opaque) {
      // min(255, (c * 255 + floor(a / 2)) / a) rounded down; 0 where a = 0; the alpha kept.
      const __m128i a = _mm_shuffle_epi32(channels, 0xFF);
      const __m128 af = _mm_cvtepi32_ps(a);
      const __m128 n = _mm_add_ps(_mm_mul_ps(c, k255), _mm_cvtepi32_ps(_mm_srli_epi32(a, 1)));
      __m128 s = _mm_cvtepi32_ps(_mm_cvttps_epi32(_mm_div_ps(n, _mm_max_ps(af, one))));
      s = _mm_and_ps(_mm_min_ps(s, k255), _mm_cmpneq_ps(af, zero));
      c = _mm_or_ps(_mm_and_ps(alphaLane, c), _mm_andnot_ps(alphaLane, s));
    }
    // ColorTransform's channel: 0 unless above 0 (max takes the 0 for NaN), at most 255.
    const __m128 v = _mm_add_ps(_mm_mul_ps(c, mul), add);
    return _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(v, zero), k255));
  };
  // Two transformed pixels (int32 lanes) premultiplied by their new alphas, as 16-bit lanes.
  auto premultiply = [&](__m128i p0, __m128i p1) {
    const __m128i words = _mm_packs_epi32(p0, p1);
    const __m128i alpha = _mm_shufflehi_epi16(_mm_shufflelo_epi16(words, 0xFF), 0xFF);
    __m128i v = _mm_add_epi16(_mm_mullo_epi16(words, alpha), _mm_set1_epi16(128));
    v = _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);  // Div255
    return _mm_or_si128(_mm_and_si128(alphaWords, words), _mm_andnot_si128(alphaWords, v));
  };
  for (; i + 4 <= len; i += 4) {
    const __m128i px = pixel4::Load4(pixels + i);
    const __m128i all = _mm_set1_epi32(-1);
    const bool opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srai_epi32(px, 24), all)) == 0xFFFF;
    const __m128i lo = _mm_unpacklo_epi8(px, z), hi = _mm_unpackhi_epi8(px, z);
    const __m128i t0 = transform(_mm_unpacklo_epi16(lo, z), opaque);
    const __m128i t1 = transform(_mm_unpackhi_epi16(lo, z), opaque);
    const __m128i t2 = transform(_mm_unpacklo_epi16(hi, z), opaque);
    const __m128i t3 = transform(_mm_unpackhi_epi16(hi, z), opaque);
    if (opaque && opaqueStays) {
      pixel4::Store4(pixels + i,
                     _mm_packus_epi16(_mm_packs_epi32(t0, t1), _mm_packs_epi32(t2, t3)));
    } else {
      pixel4::Store4(pixels + i, _mm_packus_epi16(premultiply(t0, t1), premultiply(t2, t3)));
    }
  }
  for (; i < len; ++i) pixels[i] = TransformPremultiplied(pixels[i], transform_);
}

}  // namespace swfplayer::render
