// The one reader the tag decoders use: byte fields, bit fields and the SWF records built from
// them (RECT, MATRIX, CXFORM, colours, strings) over one tag body. It is sticky: the first read
// that does not fit marks it failed, every later read yields zeros, and the decoder checks
// Ok() once at the points that matter instead of after every field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "swfplayer/movie/BitReader.h"
#include "swfplayer/movie/SwfMovie.h"
#include "swfplayer/types/Geometry.h"

namespace swfplayer::format {

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> data) : bits_(data), size_(data.size()) {}

  bool Ok() const { return ok_; }
  void Fail() { ok_ = false; }
  size_t RemainingBytes() const { return ok_ ? size_ - bits_.BytesConsumed() : 0; }

  uint32_t Bits(unsigned count) {
    uint32_t value = 0;
    if (ok_ && !bits_.ReadUnsigned(count, value)) Fail();
    return ok_ ? value : 0;
  }
  int32_t SignedBits(unsigned count) {
    int32_t value = 0;
    if (ok_ && !bits_.ReadSigned(count, value)) Fail();
    return ok_ ? value : 0;
  }
  bool Flag() { return Bits(1) != 0; }

  // Byte fields begin on a whole byte.
  uint8_t U8() { return static_cast<uint8_t>(Aligned(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Aligned(2)); }
  uint32_t U32() { return Aligned(4); }
  int16_t S16() { return static_cast<int16_t>(U16()); }
  float Fixed8() { return static_cast<float>(S16()) / 256.0f; }

  std::span<const uint8_t> Bytes(size_t count) {
    std::span<const uint8_t> bytes;
    if (ok_ && !bits_.TakeBytes(count, bytes)) Fail();
    return ok_ ? bytes : std::span<const uint8_t>{};
  }
  bool Skip(size_t count) { Bytes(count); return ok_; }
  std::span<const uint8_t> Rest() { return Bytes(RemainingBytes()); }

  // A NUL-terminated string; one without its NUL fails.
  std::string String();

  TwipsRect Rect();
  swfplayer::Matrix Matrix();
  // CXFORM (withAlpha false) and CXFORMWITHALPHA.
  swfplayer::ColorTransform ColorTransform(bool withAlpha);
  swfplayer::Rgba Rgb();
  swfplayer::Rgba Rgba();

 private:
  uint32_t Aligned(size_t count);

  BitReader bits_;
  size_t size_;
  bool ok_ = true;
};

}  // namespace swfplayer::format
