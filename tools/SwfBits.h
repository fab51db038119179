// Little-endian fields and MSB-first bit fields as SWF writes them; shared by the writers.
#pragma once

#include <cstdint>
#include <vector>

namespace swfsaver::tools::detail {

inline void PutU16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  PutU16(out, value & 0xFFFF);
  PutU16(out, value >> 16);
}

// Bit fields from a fresh byte; the next byte-sized field starts on a new byte, as SWF pads.
class BitWriter {
 public:
  explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Write(uint32_t value, unsigned bits) {
    for (unsigned i = bits; i-- > 0;) {
      if (used_ == 0) out_.push_back(0);
      if ((value >> i) & 1u) out_.back() |= static_cast<uint8_t>(0x80u >> used_);
      used_ = (used_ + 1) % 8;
    }
  }
  void WriteSigned(int32_t value, unsigned bits) { Write(static_cast<uint32_t>(value), bits); }
  void Align() { used_ = 0; }

 private:
  std::vector<uint8_t>& out_;
  unsigned used_ = 0;
};

// Bits for a signed field holding value: its binary digits plus a sign bit.
inline unsigned SignedBitsFor(int64_t value) {
  uint64_t magnitude = value < 0 ? static_cast<uint64_t>(~value) : static_cast<uint64_t>(value);
  unsigned bits = 1;
  while (magnitude != 0) {
    ++bits;
    magnitude >>= 1;
  }
  return bits;
}

inline unsigned UnsignedBitsFor(uint32_t value) {
  unsigned bits = 0;
  while (value != 0) {
    ++bits;
    value >>= 1;
  }
  return bits;
}

}  // namespace swfsaver::tools::detail
