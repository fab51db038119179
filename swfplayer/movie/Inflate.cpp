#include "swfplayer/movie/Inflate.h"

#include <algorithm>
#include <limits>

#include <zlib.h>

namespace swfplayer {

std::vector<uint8_t> Inflate(std::span<const uint8_t> compressed, size_t limit) {
  std::vector<uint8_t> out;
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return out;
  // zlib takes a non-const pointer but does not write through next_in.
  stream.next_in = const_cast<Bytef*>(compressed.data());
  stream.avail_in = static_cast<uInt>(std::min<size_t>(compressed.size(), std::numeric_limits<uInt>::max()));
  constexpr size_t kChunk = 64 * 1024;
  // Room for all the output zlib can make of this input (at most about 1032 times it, and no
  // more than the limit) at once: growing a body of hundreds of megabytes by doubling would
  // hold the old and the new buffer together, half as much again at the peak.
  out.reserve(std::min(limit, compressed.size() > limit / 1032 ? limit : compressed.size() * 1032));
  while (out.size() < limit) {
    const size_t offset = out.size();
    const size_t grow = std::min(kChunk, limit - offset);
    out.resize(offset + grow);
    stream.next_out = out.data() + offset;
    stream.avail_out = static_cast<uInt>(grow);
    const int status = inflate(&stream, Z_NO_FLUSH);
    out.resize(offset + (grow - stream.avail_out));
    if (status != Z_OK) break;  // stream end, damage, or no progress possible
  }
  inflateEnd(&stream);
  return out;
}

}  // namespace swfplayer
