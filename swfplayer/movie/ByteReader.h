// Bounds-checked little-endian reading over a span of bytes. A read that does not fit in the
// remaining data fails and leaves the position where it was, so a truncated or lying movie can
// never make the parser read past its buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace swfplayer {

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

  size_t Position() const { return position_; }
  size_t Remaining() const { return data_.size() - position_; }

  bool ReadU8(uint8_t& value) {
    if (Remaining() < 1) return false;
    value = data_[position_++];
    return true;
  }

  bool ReadU16(uint16_t& value) {
    if (Remaining() < 2) return false;
    value = static_cast<uint16_t>(data_[position_] | (data_[position_ + 1] << 8));
    position_ += 2;
    return true;
  }

  bool ReadU32(uint32_t& value) {
    if (Remaining() < 4) return false;
    value = static_cast<uint32_t>(data_[position_]) |
            (static_cast<uint32_t>(data_[position_ + 1]) << 8) |
            (static_cast<uint32_t>(data_[position_ + 2]) << 16) |
            (static_cast<uint32_t>(data_[position_ + 3]) << 24);
    position_ += 4;
    return true;
  }

  // Hands out the next count bytes as a span of their own and moves past them.
  bool Take(size_t count, std::span<const uint8_t>& bytes) {
    if (Remaining() < count) return false;
    bytes = data_.subspan(position_, count);
    position_ += count;
    return true;
  }

  bool Skip(size_t count) {
    if (Remaining() < count) return false;
    position_ += count;
    return true;
  }

  // What is left, from the current position; for handing the rest to a BitReader.
  std::span<const uint8_t> Rest() const { return data_.subspan(position_); }

 private:
  std::span<const uint8_t> data_;
  size_t position_ = 0;
};

}  // namespace swfplayer
