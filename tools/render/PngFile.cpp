#include "tools/render/PngFile.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace swfsaver::tools {
namespace {


uint8_t Unpremultiply(uint32_t channel, uint32_t alpha) {
  return static_cast<uint8_t>(alpha == 0 ? 0 : std::min<uint32_t>(255, (channel * 255 + alpha / 2) / alpha));
}

}  // namespace

RgbaImage ToRgba(const uint32_t* pixels, int width, int height, int stride) {
  RgbaImage image{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
  uint8_t* out = image.rgba.data();
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = pixels + size_t(y) * stride;
    for (int x = 0; x < width; ++x) {
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      *out++ = Unpremultiply((p >> 16) & 0xFF, a);
      *out++ = Unpremultiply((p >> 8) & 0xFF, a);
      *out++ = Unpremultiply(p & 0xFF, a);
      *out++ = static_cast<uint8_t>(a);
    }
  }
  return image;
}

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height,
              int stride) {
  if (width <= 0 || height <= 0) return false;
  const RgbaImage image = ToRgba(pixels, width, height, stride);
  png_image description{};
  description.version = PNG_IMAGE_VERSION;
  description.width = static_cast<png_uint_32>(width);
  description.height = static_cast<png_uint_32>(height);
  description.format = PNG_FORMAT_RGBA;
  const bool written =
      png_image_write_to_file(&description, path.c_str(), 0, image.rgba.data(), 0, nullptr) != 0;
  if (!written) std::remove(path.c_str());
  return written;
}

std::optional<RgbaImage> ReadPng(const std::string& path) {
  png_image description{};
  description.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&description, path.c_str())) return std::nullopt;
  description.format = PNG_FORMAT_RGBA;
  RgbaImage image;
  image.width = static_cast<int>(description.width);
  image.height = static_cast<int>(description.height);
  image.rgba.resize(PNG_IMAGE_SIZE(description));
  if (!png_image_finish_read(&description, nullptr, image.rgba.data(), 0, nullptr)) {
    png_image_free(&description);
    return std::nullopt;
  }
  return image;
}

}  // namespace swfsaver::tools
