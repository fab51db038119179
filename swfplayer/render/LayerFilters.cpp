#include "swfplayer/render/LayerFilters.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "swfplayer/render/PixelBlend.h"

namespace swfplayer::render {
namespace {

using Kind = ShadowFilter::Kind;

bool IsBevel(const ShadowFilter& f) {
  return f.kind == Kind::kBevel || f.kind == Kind::kGradientBevel;
}

uint8_t Alpha(uint32_t p) { return static_cast<uint8_t>(p >> 24); }

// Straight colour of a premultiplied pixel, channel c (0 blue .. 3 alpha).
int Straight(uint32_t p, int c) {
  const uint32_t a = p >> 24;
  const uint32_t v = (p >> (8 * c)) & 0xFF;
  if (c == 3) return static_cast<int>(a);
  return a == 0 ? 0 : static_cast<int>(std::min<uint32_t>(255, (v * 255 + a / 2) / a));
}

uint32_t PremultiplyChannels(const int (&bgra)[4]) {
  const Rgba c{static_cast<uint8_t>(bgra[2]), static_cast<uint8_t>(bgra[1]),
               static_cast<uint8_t>(bgra[0]), static_cast<uint8_t>(bgra[3])};
  return Premultiply(c);
}

// 256 premultiplied colours along the gradient's stops (straight colours between them).
std::array<uint32_t, 256> GradientTable(const std::vector<GradientStop>& stops) {
  std::array<uint32_t, 256> table{};
  if (stops.empty()) return table;
  for (int i = 0; i < 256; ++i) {
    size_t next = 0;
    while (next < stops.size() && stops[next].ratio < i) ++next;
    Rgba c;
    if (next == 0) {
      c = stops.front().color;
    } else if (next == stops.size()) {
      c = stops.back().color;
    } else {
      const GradientStop& a = stops[next - 1];
      const GradientStop& b = stops[next];
      const int span = b.ratio - a.ratio;
      const int t = span > 0 ? (i - a.ratio) * 256 / span : 256;
      auto mix = [t](uint8_t x, uint8_t y) {
        return static_cast<uint8_t>((x * (256 - t) + y * t + 128) >> 8);
      };
      c = {mix(a.color.r, b.color.r), mix(a.color.g, b.color.g), mix(a.color.b, b.color.b),
           mix(a.color.a, b.color.a)};
    }
    table[i] = Premultiply(c);
  }
  return table;
}

uint8_t Strengthen(int value, float strength) {
  const float v = std::clamp(static_cast<float>(value) * strength, 0.0f, 255.0f);
  return static_cast<uint8_t>(std::min(255.0f, v + 0.5f));
}

// The plane moved by (dx, dy): out(x, y) = in(x - dx, y - dy), `outside` beyond its edges.
void Shift(const uint8_t* in, uint8_t* out, int width, int height, int dx, int dy,
           uint8_t outside) {
  for (int y = 0; y < height; ++y) {
    const int sy = y - dy;
    uint8_t* row = out + static_cast<size_t>(y) * width;
    if (sy < 0 || sy >= height) {
      std::fill(row, row + width, outside);
      continue;
    }
    const uint8_t* src = in + static_cast<size_t>(sy) * width;
    for (int x = 0; x < width; ++x) {
      const int sx = x - dx;
      row[x] = sx >= 0 && sx < width ? src[sx] : outside;
    }
  }
}

void ApplyShadow(const ShadowFilter& f, FilterScale scale, uint32_t* pixels, int width,
                 int height, FilterScratch& s) {
  const size_t count = static_cast<size_t>(width) * height;
  s.alpha.resize(count);
  s.shifted.resize(count);
  for (size_t i = 0; i < count; ++i) s.alpha[i] = Alpha(pixels[i]);
  // The blurred alpha (blur is linear: the inverted alpha's blur is 255 minus the alpha's,
  // with everything beyond the layer counting as outside the object).
  std::vector<uint8_t>& plane = s.alpha;
  std::vector<uint8_t>& blurred = s.shifted;
  BlurPlane(plane.data(), width, height, width, f.blurX * scale.x, f.blurY * scale.y, f.passes,
            s.blur);
  const PixelOffset off = ShadowOffset(f, scale);
  const bool bevel = IsBevel(f);
  const bool gradient = f.kind == Kind::kGradientGlow || f.kind == Kind::kGradientBevel;
  const std::array<uint32_t, 256> table = gradient ? GradientTable(f.gradient)
                                                   : std::array<uint32_t, 256>{};
  const uint32_t color = Premultiply(f.color), highlight = Premultiply(f.highlight);
  std::vector<uint8_t>& ahead = s.shifted;
  std::vector<uint8_t>& behind = s.behind;
  if (bevel) {
    // Lit where the object lies further along the light than against it.
    behind.resize(count);
    Shift(plane.data(), ahead.data(), width, height, -off.x, -off.y, 0);
    Shift(plane.data(), behind.data(), width, height, off.x, off.y, 0);
  } else {
    if (f.inner) {
      for (uint8_t& v : plane) v = static_cast<uint8_t>(255 - v);
    }
    Shift(plane.data(), blurred.data(), width, height, off.x, off.y, f.inner ? 255 : 0);
  }
  for (size_t i = 0; i < count; ++i) {
    const uint32_t object = pixels[i];
    const uint32_t objectAlpha = object >> 24;
    uint32_t effect;
    if (bevel) {
      const int lit = static_cast<int>(ahead[i]) - static_cast<int>(behind[i]);
      const uint8_t light = Strengthen(lit, f.strength), dark = Strengthen(-lit, f.strength);
      if (gradient) {
        const int index = lit >= 0 ? 128 - (light + 1) / 2 : 128 + (dark + 1) / 2;
        effect = table[std::clamp(index, 0, 255)];
      } else {
        effect = light ? ScalePixel(highlight, ToScale(light)) : ScalePixel(color, ToScale(dark));
      }
    } else {
      const uint8_t v = Strengthen(blurred[i], f.strength);
      effect = gradient ? table[v] : ScalePixel(color, ToScale(v));
    }
    // Where the effect shows: inside the object (inner), outside it (outer bevels and
    // knocked-out shadows), or everywhere (a bevel on top, a shadow under the object).
    const bool inside = f.inner;
    const bool outside = !f.inner && !f.onTop && (bevel || f.knockout);
    if (inside) effect = ScalePixel(effect, ToScale(objectAlpha));
    if (outside) effect = ScalePixel(effect, ToScale(255 - objectAlpha));
    if (f.knockout || (f.hideObject && !bevel)) {
      pixels[i] = effect;
    } else if (inside) {
      // Atop the object: its alpha stays.
      pixels[i] = effect + ScalePixel(object, 256 - ToScale(effect >> 24));
    } else if (f.onTop) {
      pixels[i] = Over(effect, object);
    } else {
      pixels[i] = Over(object, effect);
    }
  }
}

void ApplyColorMatrix(const ColorMatrixFilter& f, uint32_t* pixels, size_t count) {
  const std::array<float, 20>& m = f.matrix;
  for (size_t i = 0; i < count; ++i) {
    const uint32_t p = pixels[i];
    const float r = static_cast<float>(Straight(p, 2)), g = static_cast<float>(Straight(p, 1));
    const float b = static_cast<float>(Straight(p, 0)), a = static_cast<float>(Straight(p, 3));
    int out[4];
    for (int row = 0; row < 4; ++row) {
      const float* k = &m[static_cast<size_t>(row) * 5];
      const float v = k[0] * r + k[1] * g + k[2] * b + k[3] * a + k[4];
      out[row] = static_cast<int>(std::clamp(v, 0.0f, 255.0f) + 0.5f);
      out[row] = std::min(out[row], 255);
    }
    const int bgra[4] = {out[2], out[1], out[0], out[3]};
    pixels[i] = PremultiplyChannels(bgra);
  }
}

void ApplyConvolution(const ConvolutionFilter& f, uint32_t* pixels, int width, int height,
                      FilterScratch& s) {
  if (f.columns == 0 || f.rows == 0 || f.columns > kMaxConvolutionSide ||
      f.rows > kMaxConvolutionSide || f.matrix.size() != size_t{f.columns} * f.rows) {
    return;
  }
  s.copy.assign(pixels, pixels + static_cast<size_t>(width) * height);
  const float divisor = f.divisor == 0 ? 1.0f : f.divisor;
  const int cx = f.columns / 2, cy = f.rows / 2;
  const int fallback[4] = {f.defaultColor.b, f.defaultColor.g, f.defaultColor.r,
                           f.defaultColor.a};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float sum[4] = {0, 0, 0, 0};
      for (int j = 0; j < f.rows; ++j) {
        for (int i = 0; i < f.columns; ++i) {
          const float k = f.matrix[static_cast<size_t>(j) * f.columns + i];
          if (k == 0) continue;
          int sx = x + i - cx, sy = y + j - cy;
          const bool in = sx >= 0 && sx < width && sy >= 0 && sy < height;
          if (!in && f.clamp) {
            sx = std::clamp(sx, 0, width - 1);
            sy = std::clamp(sy, 0, height - 1);
          }
          for (int c = 0; c < 4; ++c) {
            const int v = in || f.clamp
                              ? Straight(s.copy[static_cast<size_t>(sy) * width + sx], c)
                              : fallback[c];
            sum[c] += k * static_cast<float>(v);
          }
        }
      }
      const uint32_t source = s.copy[static_cast<size_t>(y) * width + x];
      int out[4];
      for (int c = 0; c < 4; ++c) {
        const float v = sum[c] / divisor + f.bias;
        out[c] = std::min(255, static_cast<int>(std::clamp(v, 0.0f, 255.0f) + 0.5f));
      }
      if (f.preserveAlpha) out[3] = static_cast<int>(source >> 24);
      pixels[static_cast<size_t>(y) * width + x] = PremultiplyChannels(out);
    }
  }
}

}  // namespace

PixelOffset ShadowOffset(const ShadowFilter& f, FilterScale scale) {
  if (f.kind == Kind::kGlow) return {};
  const double dx = std::cos(static_cast<double>(f.angle)) * f.distance * scale.x;
  const double dy = std::sin(static_cast<double>(f.angle)) * f.distance * scale.y;
  auto whole = [](double v) {
    return std::isfinite(v) ? static_cast<int>(std::clamp(std::lround(v), -8191L, 8191L)) : 0;
  };
  return {whole(dx), whole(dy)};
}

Margins FilterMargins(const Filter& filter, FilterScale scale) {
  if (const auto* blur = std::get_if<BlurFilter>(&filter)) {
    const int x = BlurReach(blur->blurX * scale.x, blur->passes);
    const int y = BlurReach(blur->blurY * scale.y, blur->passes);
    return {x, y, x, y};
  }
  const auto* shadow = std::get_if<ShadowFilter>(&filter);
  if (!shadow || shadow->inner) return {};
  const int x = BlurReach(shadow->blurX * scale.x, shadow->passes);
  const int y = BlurReach(shadow->blurY * scale.y, shadow->passes);
  const PixelOffset off = ShadowOffset(*shadow, scale);
  if (IsBevel(*shadow)) {
    const int ox = std::abs(off.x), oy = std::abs(off.y);
    return {x + ox, y + oy, x + ox, y + oy};
  }
  return {x + std::max(0, -off.x), y + std::max(0, -off.y), x + std::max(0, off.x),
          y + std::max(0, off.y)};
}

void ApplyFilter(const Filter& filter, FilterScale scale, uint32_t* pixels, int width, int height,
                 FilterScratch& scratch) {
  if (width <= 0 || height <= 0) return;
  if (const auto* blur = std::get_if<BlurFilter>(&filter)) {
    BlurPixels(pixels, width, height, width, blur->blurX * scale.x, blur->blurY * scale.y,
               blur->passes, scratch.blur);
  } else if (const auto* shadow = std::get_if<ShadowFilter>(&filter)) {
    ApplyShadow(*shadow, scale, pixels, width, height, scratch);
  } else if (const auto* matrix = std::get_if<ColorMatrixFilter>(&filter)) {
    ApplyColorMatrix(*matrix, pixels, static_cast<size_t>(width) * height);
  } else if (const auto* convolution = std::get_if<ConvolutionFilter>(&filter)) {
    ApplyConvolution(*convolution, pixels, width, height, scratch);
  }
}

}  // namespace swfplayer::render
