// Writes small SWF movies for the tests and the demo: a header with the given frame size, rate
// and count, an optional SetBackgroundColor tag, one ShowFrame per frame and End; uncompressed
// (FWS) or zlib-compressed (CWS). Portable.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace swfsaver::tools {

struct SwfColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
};

struct SwfOptions {
  uint32_t widthPixels = 550;
  uint32_t heightPixels = 400;
  uint16_t frameRate = 12 << 8;  // 8.8 fixed point
  uint16_t frameCount = 1;
  std::optional<SwfColor> background = SwfColor{0xFF, 0xFF, 0xFF};
  bool compressed = false;       // CWS instead of FWS
  uint8_t version = 6;
  bool longTagHeaders = false;   // every record with the 6-byte header form, as some tools write
};

// 8.8 fixed-point rate from frames per second (whole and 1/256 parts), e.g. FrameRate(12).
constexpr uint16_t FrameRate(unsigned whole, unsigned fraction256 = 0) {
  return static_cast<uint16_t>((whole << 8) | (fraction256 & 0xFF));
}

std::vector<uint8_t> WriteSwf(const SwfOptions& options);

// The same header and background, then tags (complete records) instead of the ShowFrames,
// then End. options.frameCount goes into the header only.
std::vector<uint8_t> WriteSwfWithTags(const SwfOptions& options, const std::vector<uint8_t>& tags);

// Writes the bytes to path; false when the file cannot be written.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace swfsaver::tools
