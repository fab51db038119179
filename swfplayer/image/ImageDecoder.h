// Decodes the compressed images that SWF bitmap tags carry (JPEG, and the PNG or GIF that a
// DefineBitsJPEG2 or JPEG3 tag may hold instead) with the platform's own decoder: WIC on
// Windows, libjpeg, libpng and giflib natively.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "swfplayer/types/Paint.h"

namespace swfplayer::image {

// The Flash Player's own limits for one bitmap.
inline constexpr int kMaxBitmapSide = 8191;
inline constexpr int64_t kMaxBitmapPixels = 16777215;

class ImageDecoder {
 public:
  virtual ~ImageDecoder() = default;

  // Premultiplied pixels of the first image in data, or nothing when data is not an image
  // the decoder reads, is damaged, or is larger than the limits above (checked before the
  // pixels are allocated).
  virtual std::optional<Bitmap> Decode(std::span<const uint8_t> data) = 0;
};

}  // namespace swfplayer::image
