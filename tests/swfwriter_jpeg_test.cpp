// The JPEG writer the samples use: what it writes decodes, through the decoder the native
// player uses, to the picture it was given within the loss of its quantisers, for sizes that
// fill whole blocks and sizes that end mid-block, and for noise whose codes hit 0xFF bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <stdexcept>

#include "swfplayer/image/NativeImageDecoder.h"
#include "tools/JpegWriter.h"

namespace swfsaver::tools {
namespace {

enum class Kind { kSmooth, kNoise, kChecker };

std::vector<uint8_t> Picture(int width, int height, Kind kind) {
  std::vector<uint8_t> rgb;
  uint32_t state = 1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      state = state * 1664525u + 1013904223u;
      if (kind == Kind::kNoise) {
        rgb.insert(rgb.end(), {uint8_t(state >> 24), uint8_t(state >> 16), uint8_t(state >> 8)});
      } else if (kind == Kind::kChecker) {
        // Blocks whose luminance DC differs by +127: the code 0111 and seven one-bits, which
        // often fill a whole byte that must be stuffed.
        const bool light = (x / 8 + y / 8) % 2 != 0;
        rgb.insert(rgb.end(), {uint8_t(light ? 175 : 128), uint8_t(light ? 175 : 128),
                               uint8_t(light ? 181 : 128)});
      } else {
        rgb.insert(rgb.end(), {uint8_t(255 * x / width), uint8_t(255 * y / height),
                               uint8_t(128 + 100 * std::sin((x + y) / 9.0))});
      }
    }
  }
  return rgb;
}

bool HasStuffedByte(const std::vector<uint8_t>& jpeg) {
  for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0) return true;
  }
  return false;
}

TEST(JpegWriter, DecodesToThePictureItWasGiven) {
  struct Case {
    int width, height;
    Kind kind;
    double meanError;  // per channel
    int maxError;
  };
  const Case cases[] = {{8, 8, Kind::kSmooth, 2.5, 12}, {37, 21, Kind::kSmooth, 2.5, 12},
                        {1, 1, Kind::kSmooth, 2.5, 6},  {130, 66, Kind::kSmooth, 2.5, 12},
                        {64, 48, Kind::kNoise, 12, 80}, {64, 48, Kind::kChecker, 1, 4}};
  for (const Case& c : cases) {
    const std::vector<uint8_t> rgb = Picture(c.width, c.height, c.kind);
    const std::vector<uint8_t> jpeg = EncodeJpeg(rgb, c.width, c.height);
    if (c.kind == Kind::kChecker) {
      EXPECT_TRUE(HasStuffedByte(jpeg));
    }
    const auto bitmap = swfplayer::image::DecodeJpeg(jpeg);
    ASSERT_TRUE(bitmap.has_value()) << c.width << "x" << c.height;
    ASSERT_EQ(bitmap->width, c.width);
    ASSERT_EQ(bitmap->height, c.height);
    double total = 0;
    int worst = 0;
    for (size_t i = 0; i < bitmap->pixels.size(); ++i) {
      const uint32_t p = bitmap->pixels[i];
      EXPECT_EQ(p >> 24, 0xFFu);
      for (int channel = 0; channel < 3; ++channel) {
        const int error = std::abs(int((p >> (16 - 8 * channel)) & 0xFF) - rgb[i * 3 + channel]);
        total += error;
        worst = std::max(worst, error);
      }
    }
    EXPECT_LE(total / (3.0 * bitmap->pixels.size()), c.meanError) << c.width << "x" << c.height;
    EXPECT_LE(worst, c.maxError) << c.width << "x" << c.height;
  }
}

TEST(JpegWriter, RefusesSizesItCannotWrite) {
  EXPECT_THROW(EncodeJpeg({}, 0, 1), std::invalid_argument);
  EXPECT_THROW(EncodeJpeg(std::vector<uint8_t>(3 * 70000), 70000, 1), std::invalid_argument);
  EXPECT_THROW(EncodeJpeg(std::vector<uint8_t>(3 * 5), 2, 3), std::invalid_argument);
}

}  // namespace
}  // namespace swfsaver::tools
