#include "standin/flash/WicImageDecoder.h"

#include <shlwapi.h>

namespace swfsaver::flash {
namespace {

// Releases a COM pointer on every way out of a scope.
template <typename T>
struct Held {
  T* pointer = nullptr;
  ~Held() {
    if (pointer) pointer->Release();
  }
  T** operator&() { return &pointer; }
  T* operator->() const { return pointer; }
};

}  // namespace

WicImageDecoder::~WicImageDecoder() {
  if (factory_) factory_->Release();
}

std::optional<swfplayer::Bitmap> WicImageDecoder::Decode(std::span<const uint8_t> data) {
  if (data.empty() || data.size() > UINT_MAX) return std::nullopt;
  if (!factory_ && FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                           CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory_)))) {
    factory_ = nullptr;
    return std::nullopt;
  }
  Held<IStream> stream;
  stream.pointer = SHCreateMemStream(data.data(), static_cast<UINT>(data.size()));
  if (!stream.pointer) return std::nullopt;
  Held<IWICBitmapDecoder> decoder;
  if (FAILED(factory_->CreateDecoderFromStream(stream.pointer, nullptr,
                                               WICDecodeMetadataCacheOnDemand, &decoder))) {
    return std::nullopt;
  }
  Held<IWICBitmapFrameDecode> frame;
  UINT width = 0, height = 0;
  if (FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height))) {
    return std::nullopt;
  }
  // The limits hold before a single pixel is allocated.
  if (width == 0 || height == 0 || width > static_cast<UINT>(swfplayer::image::kMaxBitmapSide) ||
      height > static_cast<UINT>(swfplayer::image::kMaxBitmapSide) ||
      int64_t{width} * height > swfplayer::image::kMaxBitmapPixels) {
    return std::nullopt;
  }
  Held<IWICBitmapSource> converted;
  if (FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, frame.pointer, &converted))) {
    return std::nullopt;
  }
  swfplayer::Bitmap bitmap;
  bitmap.width = static_cast<int>(width);
  bitmap.height = static_cast<int>(height);
  bitmap.pixels.resize(size_t{width} * height);
  const UINT stride = width * 4;
  if (FAILED(converted->CopyPixels(nullptr, stride, stride * height,
                                   reinterpret_cast<BYTE*>(bitmap.pixels.data())))) {
    return std::nullopt;
  }
  return bitmap;
}

}  // namespace swfsaver::flash
