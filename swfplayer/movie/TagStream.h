// Splits a tag stream into records: a 16-bit code-and-length, a 32-bit length after it when
// the short one reads 0x3F, then the body. A record whose length passes the end of the data
// ends the stream as truncated; nothing is read outside the span.
#pragma once

#include <cstdint>
#include <span>

#include "swfplayer/movie/ByteReader.h"

namespace swfplayer {

struct TagRecord {
  uint16_t code = 0;
  std::span<const uint8_t> body;
};

class TagStream {
 public:
  explicit TagStream(std::span<const uint8_t> data) : reader_(data) {}

  // The next complete record; false at the end of the data or at a truncated record.
  bool Next(TagRecord& tag) {
    uint16_t codeAndLength = 0;
    if (!reader_.ReadU16(codeAndLength)) return false;
    uint32_t length = codeAndLength & 0x3F;
    if (length == 0x3F && !reader_.ReadU32(length)) return false;
    tag.code = codeAndLength >> 6;
    return reader_.Take(length, tag.body);
  }

 private:
  ByteReader reader_;
};

}  // namespace swfplayer
