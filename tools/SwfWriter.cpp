#include "tools/SwfWriter.h"

#include "tools/SwfBits.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include <zlib.h>

namespace swfsaver::tools {
namespace {

constexpr uint16_t kTagEnd = 0;
constexpr uint16_t kTagShowFrame = 1;
constexpr uint16_t kTagSetBackgroundColor = 9;

using detail::BitWriter;
using detail::PutU16;
using detail::PutU32;

unsigned SignedBits(uint32_t value) { return detail::SignedBitsFor(value); }

void PutRect(std::vector<uint8_t>& out, uint32_t widthTwips, uint32_t heightTwips) {
  const unsigned bits = std::max(SignedBits(widthTwips), SignedBits(heightTwips));
  if (bits > 31) throw std::invalid_argument("frame size does not fit an SWF rectangle");
  BitWriter writer(out);
  writer.Write(bits, 5);
  writer.Write(0, bits);
  writer.Write(widthTwips, bits);
  writer.Write(0, bits);
  writer.Write(heightTwips, bits);
}

void PutTag(std::vector<uint8_t>& out, uint16_t code, const std::vector<uint8_t>& body,
            bool longHeader) {
  if (longHeader || body.size() >= 0x3F) {
    PutU16(out, (code << 6) | 0x3F);
    PutU32(out, static_cast<uint32_t>(body.size()));
  } else {
    PutU16(out, (code << 6) | static_cast<uint16_t>(body.size()));
  }
  out.insert(out.end(), body.begin(), body.end());
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& body) {
  uLongf size = compressBound(static_cast<uLong>(body.size()));
  std::vector<uint8_t> out(size);
  if (compress2(out.data(), &size, body.data(), static_cast<uLong>(body.size()), 9) != Z_OK) {
    throw std::runtime_error("zlib could not compress the movie");
  }
  out.resize(size);
  return out;
}

}  // namespace

std::vector<uint8_t> WriteSwf(const SwfOptions& options) {
  std::vector<uint8_t> frames;
  for (uint32_t frame = 0; frame < options.frameCount; ++frame) {
    PutTag(frames, kTagShowFrame, {}, options.longTagHeaders);
  }
  return WriteSwfWithTags(options, frames);
}

std::vector<uint8_t> WriteSwfWithTags(const SwfOptions& options, const std::vector<uint8_t>& tags) {
  // Everything after the first eight bytes: the part a CWS movie compresses.
  std::vector<uint8_t> body;
  PutRect(body, options.widthPixels * 20, options.heightPixels * 20);
  PutU16(body, options.frameRate);
  PutU16(body, options.frameCount);
  if (options.background) {
    PutTag(body, kTagSetBackgroundColor,
           {options.background->red, options.background->green, options.background->blue},
           options.longTagHeaders);
  }
  body.insert(body.end(), tags.begin(), tags.end());
  PutTag(body, kTagEnd, {}, options.longTagHeaders);

  const uint32_t length = static_cast<uint32_t>(8 + body.size());  // always the uncompressed one
  std::vector<uint8_t> out = options.compressed ? Compress(body) : std::move(body);
  std::vector<uint8_t> header = {static_cast<uint8_t>(options.compressed ? 'C' : 'F'), 'W', 'S',
                                 options.version};
  PutU32(header, length);
  out.insert(out.begin(), header.begin(), header.end());
  return out;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file.flush());
}

}  // namespace swfsaver::tools
