#include "swfplayer/image/NativeImageDecoder.h"

namespace swfplayer::image {

bool FitsBitmapLimits(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxBitmapSide && height <= kMaxBitmapSide &&
         width * height <= kMaxBitmapPixels;
}

std::optional<Bitmap> NativeImageDecoder::Decode(std::span<const uint8_t> data) {
  if (data.size() >= 2 && data[0] == 0xFF && data[1] == 0xD8) return DecodeJpeg(data);
  if (data.size() >= 8 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G') {
    return DecodePng(data);
  }
  if (data.size() >= 6 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F') return DecodeGif(data);
  return std::nullopt;
}

}  // namespace swfplayer::image
