// The image decoder off Windows: libjpeg (libjpeg-turbo), libpng and giflib. Used by the native
// tests and the fuzzer; the Windows control decodes through WIC instead.
#pragma once

#include "swfplayer/image/ImageDecoder.h"

namespace swfplayer::image {

class NativeImageDecoder final : public ImageDecoder {
 public:
  // JPEG, PNG or GIF by its signature; a GIF gives its first frame on a transparent screen.
  std::optional<Bitmap> Decode(std::span<const uint8_t> data) override;
};

// The three decoders on their own, for tests; each refuses data that is not its format.
std::optional<Bitmap> DecodeJpeg(std::span<const uint8_t> data);
std::optional<Bitmap> DecodePng(std::span<const uint8_t> data);
std::optional<Bitmap> DecodeGif(std::span<const uint8_t> data);

// The shared size check: both sides positive and within kMaxBitmapSide and kMaxBitmapPixels.
bool FitsBitmapLimits(int64_t width, int64_t height);

}  // namespace swfplayer::image
