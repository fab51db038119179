// PNG files for the native tools and tests (libpng): the renderer's premultiplied pixels out,
// expected images in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace swfsaver::tools {

// Straight (not premultiplied) 8-bit RGBA, rows top to bottom.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
};

// Writes premultiplied 0xAARRGGBB pixels (stride in pixels) as an RGBA PNG; false on any
// failure, with nothing half-written left behind.
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height,
              int stride);

// Reads any PNG as RGBA; nothing for a file that is missing, damaged or not a PNG.
std::optional<RgbaImage> ReadPng(const std::string& path);

// The canvas's pixels as straight RGBA, the form images are compared in.
RgbaImage ToRgba(const uint32_t* pixels, int width, int height, int stride);

}  // namespace swfsaver::tools
