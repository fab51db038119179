#include "swfplayer/format/Reader.h"

namespace swfplayer::format {

uint32_t Reader::Aligned(size_t count) {
  const std::span<const uint8_t> bytes = Bytes(count);
  uint32_t value = 0;
  for (size_t i = bytes.size(); i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

std::string Reader::String() {
  std::string text;
  for (;;) {
    const uint8_t byte = U8();
    if (!ok_ || byte == 0) return ok_ ? text : std::string{};
    text.push_back(static_cast<char>(byte));
  }
}

TwipsRect Reader::Rect() {
  bits_.AlignToByte();
  const unsigned n = Bits(5);
  TwipsRect rect;
  rect.xMin = SignedBits(n);
  rect.xMax = SignedBits(n);
  rect.yMin = SignedBits(n);
  rect.yMax = SignedBits(n);
  return ok_ ? rect : TwipsRect{};
}

swfplayer::Matrix Reader::Matrix() {
  bits_.AlignToByte();
  swfplayer::Matrix m;
  // Scale and rotate-skew are 16.16 fixed point, the translation whole twips.
  if (Flag()) {
    const unsigned n = Bits(5);
    m.a = SignedBits(n) / 65536.0;
    m.d = SignedBits(n) / 65536.0;
  }
  if (Flag()) {
    const unsigned n = Bits(5);
    m.b = SignedBits(n) / 65536.0;
    m.c = SignedBits(n) / 65536.0;
  }
  const unsigned n = Bits(5);
  m.tx = SignedBits(n);
  m.ty = SignedBits(n);
  return ok_ ? m : swfplayer::Matrix{};
}

swfplayer::ColorTransform Reader::ColorTransform(bool withAlpha) {
  bits_.AlignToByte();
  const bool hasAdd = Flag();
  const bool hasMul = Flag();
  const unsigned n = Bits(4);
  swfplayer::ColorTransform cx;
  if (hasMul) {
    cx.mulR = SignedBits(n) / 256.0f;
    cx.mulG = SignedBits(n) / 256.0f;
    cx.mulB = SignedBits(n) / 256.0f;
    if (withAlpha) cx.mulA = SignedBits(n) / 256.0f;
  }
  if (hasAdd) {
    cx.addR = static_cast<float>(SignedBits(n));
    cx.addG = static_cast<float>(SignedBits(n));
    cx.addB = static_cast<float>(SignedBits(n));
    if (withAlpha) cx.addA = static_cast<float>(SignedBits(n));
  }
  return ok_ ? cx : swfplayer::ColorTransform{};
}

swfplayer::Rgba Reader::Rgb() {
  const std::span<const uint8_t> c = Bytes(3);
  return c.empty() ? swfplayer::Rgba{} : swfplayer::Rgba{c[0], c[1], c[2], 255};
}

swfplayer::Rgba Reader::Rgba() {
  const std::span<const uint8_t> c = Bytes(4);
  return c.empty() ? swfplayer::Rgba{} : swfplayer::Rgba{c[0], c[1], c[2], c[3]};
}

}  // namespace swfplayer::format
