#include "standin/flash/FrameSurface.h"

#include "standin/flash/Trace.h"

namespace swfsaver::flash {

FrameSurface::~FrameSurface() { Release(); }

void FrameSurface::Release() {
  canvas_.reset();
  if (dc_) {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
  }
  if (bitmap_) DeleteObject(bitmap_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  previous_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

bool FrameSurface::Resize(int width, int height, swfplayer::render::Quality quality) {
  if (Fits(width, height)) {
    canvas_->SetQuality(quality);
    return true;
  }
  Release();
  if (width <= 0 || height <= 0 || width > swfplayer::render::RasterCanvas::kMaxSide ||
      height > swfplayer::render::RasterCanvas::kMaxSide) {
    return false;
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down: rows in the order the canvas writes them
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  dc_ = CreateCompatibleDC(nullptr);
  if (!bitmap_ || !bits || !dc_) {
    Release();
    return false;
  }
  previous_ = SelectObject(dc_, bitmap_);
  bits_ = static_cast<uint32_t*>(bits);
  width_ = width;
  height_ = height;
  canvas_ = std::make_unique<swfplayer::render::RasterCanvas>(bits_, width, height, width, quality);
  canvas_->SetThreads(DrawingThreads());
  return true;
}

void FrameSurface::Blit(HDC target) const {
  if (dc_) BitBlt(target, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
}

void FrameSurface::Blit(HDC target, const swfplayer::render::PixelBox& box) const {
  if (!dc_ || box.Empty()) return;
  BitBlt(target, box.left, box.top, box.right - box.left, box.bottom - box.top, dc_, box.left,
         box.top, SRCCOPY);
}

}  // namespace swfsaver::flash
