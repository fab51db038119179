// libpng's simplified API: it keeps its own setjmp inside and reports failure as a return
// value, so nothing here jumps.
#include <png.h>

#include "swfplayer/image/NativeImageDecoder.h"

namespace swfplayer::image {

std::optional<Bitmap> DecodePng(std::span<const uint8_t> data) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return std::nullopt;
  if (!FitsBitmapLimits(image.width, image.height)) {
    png_image_free(&image);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  Bitmap bitmap;
  bitmap.width = static_cast<int>(image.width);
  bitmap.height = static_cast<int>(image.height);
  bitmap.pixels.resize(size_t{image.width} * image.height);
  for (size_t i = 0; i < bitmap.pixels.size(); ++i) {
    const uint8_t* p = &rgba[i * 4];
    const uint32_t a = p[3];
    auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
    bitmap.pixels[i] = (a << 24) | (pre(p[0]) << 16) | (pre(p[1]) << 8) | pre(p[2]);
  }
  return bitmap;
}

}  // namespace swfplayer::image
