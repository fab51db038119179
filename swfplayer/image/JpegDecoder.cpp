// libjpeg reports fatal errors through error_exit, which by default calls exit(): ours jumps
// back into DecodeInto instead. Only plain C state lives in DecodeInto's frame across the
// jump; the pixel vector belongs to the caller and is left in a valid state at every point.
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "swfplayer/image/NativeImageDecoder.h"

namespace swfplayer::image {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void OnFatalError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void OnMessage(j_common_ptr) {}  // warnings about damaged data are not worth printing

// A progressive JPEG may hold any number of scans, each a pass over the whole image: a small
// file could keep the decoder busy for minutes. Real encoders write about ten.
constexpr int kMaxScans = 256;

void OnProgress(j_common_ptr info) {
  const auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
  if (decompress->input_scan_number > kMaxScans) OnFatalError(info);
}

uint32_t Channel(JSAMPLE v) { return static_cast<uint32_t>(v); }

bool DecodeInto(std::span<const uint8_t> data, Bitmap& bitmap, std::vector<JSAMPLE>& row) {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnFatalError;
  errors.base.output_message = OnMessage;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = OnProgress;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  info.progress = &progress;
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK ||
      !FitsBitmapLimits(info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&info);
  const unsigned width = info.output_width;
  const unsigned height = info.output_height;
  const unsigned components = static_cast<unsigned>(info.output_components);
  if (!FitsBitmapLimits(width, height) || (components != 3 && components != 4)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  bitmap.width = static_cast<int>(width);
  bitmap.height = static_cast<int>(height);
  bitmap.pixels.assign(size_t{width} * height, 0xFF000000u);
  row.resize(size_t{width} * components);
  while (info.output_scanline < height) {
    const unsigned y = info.output_scanline;
    JSAMPROW rows[1] = {row.data()};
    if (jpeg_read_scanlines(&info, rows, 1) != 1) break;
    uint32_t* out = &bitmap.pixels[size_t{y} * width];
    for (unsigned x = 0; x < width; ++x) {
      const JSAMPLE* p = &row[size_t{x} * components];
      uint32_t r = Channel(p[0]), g = Channel(p[1]), b = Channel(p[2]);
      if (cmyk) {  // Adobe writes CMYK inverted: each channel is already 255 - ink
        const uint32_t k = Channel(p[3]);
        r = r * k / 255;
        g = g * k / 255;
        b = b * k / 255;
      }
      out[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

std::optional<Bitmap> DecodeJpeg(std::span<const uint8_t> data) {
  if (data.size() < 2 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
  Bitmap bitmap;
  std::vector<JSAMPLE> row;
  if (!DecodeInto(data, bitmap, row)) return std::nullopt;
  return bitmap;
}

}  // namespace swfplayer::image
