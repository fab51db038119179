// Reads bit fields, most significant bit first, as SWF packs its rectangles. Like ByteReader
// it fails instead of reading past the end of its span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace swfplayer {

class BitReader {
 public:
  explicit BitReader(std::span<const uint8_t> data) : data_(data) {}

  // An unsigned field of 0 to 32 bits.
  bool ReadUnsigned(unsigned bits, uint32_t& value) {
    if (bits > 32 || bits > RemainingBits()) return false;
    uint64_t result = 0;
    for (unsigned i = 0; i < bits; ++i) {
      const uint8_t byte = data_[bitPosition_ / 8];
      const unsigned shift = 7 - static_cast<unsigned>(bitPosition_ % 8);
      result = (result << 1) | ((byte >> shift) & 1u);
      ++bitPosition_;
    }
    value = static_cast<uint32_t>(result);
    return true;
  }

  // A two's-complement field of 0 to 32 bits, sign-extended; a 0-bit field reads as 0.
  bool ReadSigned(unsigned bits, int32_t& value) {
    uint32_t raw = 0;
    if (!ReadUnsigned(bits, raw)) return false;
    if (bits > 0 && bits < 32 && (raw & (1u << (bits - 1))) != 0) {
      raw |= ~((1u << bits) - 1u);
    }
    value = static_cast<int32_t>(raw);
    return true;
  }

  // Whole bytes used so far, the partly read last byte included: where byte-aligned data that
  // follows the bit fields begins.
  size_t BytesConsumed() const { return (bitPosition_ + 7) / 8; }

  // SWF starts every byte-sized field and every record that follows bit fields on a whole
  // byte: the rest of a partly read byte is padding.
  void AlignToByte() { bitPosition_ = BytesConsumed() * 8; }

  // The next count whole bytes (after aligning), as a span of their own.
  bool TakeBytes(size_t count, std::span<const uint8_t>& bytes) {
    AlignToByte();
    const size_t start = bitPosition_ / 8;
    if (count > data_.size() - start) return false;
    bytes = data_.subspan(start, count);
    bitPosition_ += count * 8;
    return true;
  }

 private:
  size_t RemainingBits() const { return data_.size() * 8 - bitPosition_; }

  std::span<const uint8_t> data_;
  size_t bitPosition_ = 0;
};

}  // namespace swfplayer
