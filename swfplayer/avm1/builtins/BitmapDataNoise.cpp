// BitmapData.noise and BitmapData.perlinNoise: pictures made from a seed, the same picture for
// the same seed and arguments. Channels are chosen by BitmapDataChannel's bits (1 red, 2
// green, 4 blue, 8 alpha): a colour channel left out is 0, an alpha left out (or any alpha of
// an opaque bitmap) is 255, and grey scale gives the three colours one value.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "swfplayer/avm1/Convert.h"
#include "swfplayer/avm1/builtins/BitmapDataObject.h"
#include "swfplayer/avm1/builtins/Define.h"

namespace swfplayer::avm1 {

namespace {

constexpr uint32_t kRed = 1, kGreen = 2, kBlue = 4, kAlpha = 8;

BitmapDataObject* ThisBitmap(NativeCall& call) {
  auto* self = call.This<BitmapDataObject>(ObjectClass::kBitmapData);
  return self != nullptr && self->Valid() ? self : nullptr;
}

// The Park-Miller "minimal standard" generator: small, and any int32 seed gives a valid state.
class SeededRandom {
 public:
  explicit SeededRandom(int32_t seed) {
    state_ = static_cast<uint32_t>(static_cast<int64_t>(seed) % kModulus + kModulus) % kModulus;
    if (state_ == 0) state_ = 1;
  }
  uint32_t Next() {
    state_ = static_cast<uint32_t>(uint64_t{state_} * 16807 % kModulus);
    return state_;
  }
  uint32_t Between(uint32_t low, uint32_t high) { return low + Next() % (high - low + 1); }

 private:
  static constexpr int64_t kModulus = 2147483647;
  uint32_t state_;
};

uint32_t Compose(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return a << 24 | r << 16 | g << 8 | b; }

// noise(randomSeed, low = 0, high = 255, channelOptions = 7, grayScale = false): every pixel
// takes values from low to high in its chosen channels.
Value Noise(NativeCall& call) {
  BitmapDataObject* self = ThisBitmap(call);
  if (self == nullptr) return Value();
  SeededRandom random(call.IntArg(0));
  const uint32_t low = static_cast<uint32_t>(std::clamp(call.Has(1) ? call.IntArg(1) : 0, 0, 255));
  const uint32_t high = std::max(low, static_cast<uint32_t>(std::clamp(call.Has(2) ? call.IntArg(2) : 255, 0, 255)));
  const uint32_t channels = call.Has(3) ? static_cast<uint32_t>(call.IntArg(3)) : (kRed | kGreen | kBlue);
  const bool grey = call.BoolArg(4);
  for (uint32_t& pixel : self->bitmap->pixels) {
    uint32_t r = 0, g = 0, b = 0;
    if (grey) {
      r = g = b = random.Between(low, high);
    } else {
      if (channels & kRed) r = random.Between(low, high);
      if (channels & kGreen) g = random.Between(low, high);
      if (channels & kBlue) b = random.Between(low, high);
    }
    const uint32_t a = (channels & kAlpha) ? random.Between(low, high) : 255;
    pixel = PremultiplyArgb(Compose(a, r, g, b), self->transparent);
  }
  self->Changed();
  return Value();
}

// Gradient noise on an integer lattice, a permutation shuffled from the seed choosing each
// corner's gradient; a lattice repeats every `period` cells (256 unless stitched).
class GradientNoise {
 public:
  explicit GradientNoise(int32_t seed) {
    for (int i = 0; i < 256; ++i) permutation_[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    SeededRandom random(seed);
    for (size_t i = 255; i > 0; --i) std::swap(permutation_[i], permutation_[random.Next() % (i + 1)]);
  }

  // Roughly -1..1 at (x, y) for one channel (channels are independent pictures).
  double At(double x, double y, int64_t periodX, int64_t periodY, uint32_t channel) const {
    x = Wrap(x, periodX);
    y = Wrap(y, periodY);
    const int64_t ix = static_cast<int64_t>(std::floor(x)), iy = static_cast<int64_t>(std::floor(y));
    const double fx = x - static_cast<double>(ix), fy = y - static_cast<double>(iy);
    const int64_t ix1 = (ix + 1) % periodX, iy1 = (iy + 1) % periodY;
    const double n00 = Corner(ix, iy, channel, fx, fy), n10 = Corner(ix1, iy, channel, fx - 1, fy);
    const double n01 = Corner(ix, iy1, channel, fx, fy - 1), n11 = Corner(ix1, iy1, channel, fx - 1, fy - 1);
    const double u = Fade(fx), v = Fade(fy);
    const double top = n00 + u * (n10 - n00), bottom = n01 + u * (n11 - n01);
    return (top + v * (bottom - top)) * std::sqrt(2.0);  // corners' reach is at most 1/sqrt(2)
  }

 private:
  static double Wrap(double value, int64_t period) {
    const double p = static_cast<double>(period);
    const double wrapped = value - p * std::floor(value / p);
    return wrapped >= p ? 0 : wrapped;
  }
  static double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
  double Corner(int64_t ix, int64_t iy, uint32_t channel, double dx, double dy) const {
    const uint8_t hash = permutation_[(permutation_[(permutation_[ix & 255] + iy) & 255] + channel * 61) & 255];
    // Sixteen directions evenly round the circle, worked out once: no trigonometry per pixel.
    static const std::array<std::pair<double, double>, 16> kGradients = [] {
      std::array<std::pair<double, double>, 16> out{};
      for (size_t i = 0; i < out.size(); ++i) {
        const double angle = static_cast<double>(i) * 6.283185307179586 / 16;
        out[i] = {std::cos(angle), std::sin(angle)};
      }
      return out;
    }();
    const auto& [gx, gy] = kGradients[hash & 15];
    return gx * dx + gy * dy;
  }

  std::array<uint8_t, 256> permutation_{};
};

// Octaves past this add less than a step of an 8-bit channel (each has half the weight of the
// one before), so a larger numOctaves costs time without changing a pixel.
constexpr int32_t kMaxOctaves = 10;
constexpr int64_t kMaxPeriod = int64_t{1} << 24;
constexpr int64_t kNoiseBudget = int64_t{1} << 23;  // noise values worked out per call

struct Octave {
  double scaleX, scaleY, offsetX, offsetY;
  int64_t periodX, periodY;
};

double Finite(double value) { return std::isfinite(value) ? std::clamp(value, -1e9, 1e9) : 0; }

// perlinNoise(baseX, baseY, numOctaves, randomSeed, stitch, fractalNoise, channelOptions = 7,
// grayScale = false, offsets = null): baseX and baseY are the first octave's feature size in
// pixels, each later octave half the size and half the weight; offsets (one Point per octave)
// move an octave's picture. Fractal noise averages signed values around mid-grey; otherwise
// the average of magnitudes (turbulence) runs up from black. Stitching makes the picture tile.
Value PerlinNoise(NativeCall& call) {
  VmImpl& vm = call.vm;
  BitmapDataObject* self = ThisBitmap(call);
  if (self == nullptr) return Value();
  const double baseX = std::fabs(Finite(call.NumberArg(0))), baseY = std::fabs(Finite(call.NumberArg(1)));
  const GradientNoise noise(call.IntArg(3));
  const bool stitch = call.BoolArg(4), fractal = call.BoolArg(5);
  const uint32_t channels = call.Has(6) ? static_cast<uint32_t>(call.IntArg(6)) : (kRed | kGreen | kBlue);
  const bool grey = call.BoolArg(7);
  Object* offsets = call.ObjectArg(8);
  const int32_t width = self->Width(), height = self->Height();
  // A frame's worth of work at most: a large bitmap with many channels gets fewer of the
  // finest octaves (at least one), so a script cannot stall the movie for seconds.
  const int64_t perOctave = int64_t{width} * height * (grey ? 1 : std::popcount(channels & 7u)) +
                            (self->transparent && (channels & kAlpha) ? int64_t{width} * height : 0);
  const int32_t affordable = static_cast<int32_t>(std::clamp<int64_t>(kNoiseBudget / std::max<int64_t>(perOctave, 1), 1, kMaxOctaves));
  const int32_t octaveCount = std::clamp(call.IntArg(2), 0, affordable);
  std::array<Octave, kMaxOctaves> octaves{};
  for (int32_t k = 0; k < octaveCount; ++k) {
    Octave& o = octaves[static_cast<size_t>(k)];
    const double frequency = std::ldexp(1.0, k);
    o.scaleX = baseX > 0 ? frequency / baseX : 0;  // a base of 0 gives one value across
    o.scaleY = baseY > 0 ? frequency / baseY : 0;
    const Value offset = offsets != nullptr ? offsets->Get(vm, vm.Str(std::to_string(k))) : Value();
    if (offset.IsObject()) {
      o.offsetX = Finite(vm.ToNumber(offset.AsObject()->Get(vm, vm.Str("x"))));
      o.offsetY = Finite(vm.ToNumber(offset.AsObject()->Get(vm, vm.Str("y"))));
    }
    const auto period = [&](double side, double scale) {
      if (!stitch) return int64_t{256};
      return std::clamp<int64_t>(std::llround(std::min(side * scale, 1e12)), 1, kMaxPeriod);
    };
    o.periodX = period(width, o.scaleX);
    o.periodY = period(height, o.scaleY);
  }
  const auto channelValue = [&](int32_t x, int32_t y, uint32_t channel) {
    double sum = 0, weight = 1, weights = 0;
    for (int32_t k = 0; k < octaveCount; ++k, weight *= 0.5) {
      const Octave& o = octaves[static_cast<size_t>(k)];
      const double n = noise.At((x + o.offsetX) * o.scaleX, (y + o.offsetY) * o.scaleY, o.periodX, o.periodY, channel);
      sum += weight * (fractal ? n : std::fabs(n));
      weights += weight;
    }
    if (weights > 0) sum /= weights;
    const double level = fractal ? (sum + 1) * 127.5 : sum * 255;
    return static_cast<uint32_t>(std::clamp(level, 0.0, 255.0));
  };
  const bool alpha = self->transparent && (channels & kAlpha);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint32_t r = 0, g = 0, b = 0;
      if (grey) {
        r = g = b = channelValue(x, y, 0);
      } else {
        if (channels & kRed) r = channelValue(x, y, 0);
        if (channels & kGreen) g = channelValue(x, y, 1);
        if (channels & kBlue) b = channelValue(x, y, 2);
      }
      const uint32_t a = alpha ? channelValue(x, y, 3) : 255;
      self->At(x, y) = PremultiplyArgb(Compose(a, r, g, b), self->transparent);
    }
  }
  self->Changed();
  return Value();
}

}  // namespace

void InstallBitmapDataNoise(VmImpl& vm, Object* prototype) {
  DefineMethod(vm, prototype, "noise", Noise);
  DefineMethod(vm, prototype, "perlinNoise", PerlinNoise);
}

}  // namespace swfplayer::avm1
