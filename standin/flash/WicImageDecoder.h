// The platform's own image decoder on Windows: WIC reads the JPEG, PNG and GIF data of SWF
// bitmap tags into premultiplied BGRA, the layout the renderer draws with.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include "swfplayer/image/ImageDecoder.h"

namespace swfsaver::flash {

class WicImageDecoder final : public swfplayer::image::ImageDecoder {
 public:
  WicImageDecoder() = default;
  ~WicImageDecoder() override;
  WicImageDecoder(const WicImageDecoder&) = delete;
  WicImageDecoder& operator=(const WicImageDecoder&) = delete;

  // Needs COM on the calling thread, as every call into the control has it.
  std::optional<swfplayer::Bitmap> Decode(std::span<const uint8_t> data) override;

 private:
  IWICImagingFactory* factory_ = nullptr;  // made on the first image, kept for the next
};

}  // namespace swfsaver::flash
