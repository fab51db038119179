#include "lzma/ZwsBody.h"

#include <algorithm>

namespace swfsaver::lzma {
namespace {

constexpr size_t kSignatureAndLengthBytes = 8;
constexpr size_t kPropertiesOffset = 12;

uint32_t ReadU32(std::span<const uint8_t> bytes, size_t offset) {
  return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
         (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

}  // namespace

DecodeResult DecodeZwsBody(std::span<const uint8_t> wholeFile, size_t limit) {
  if (wholeFile.size() < 3 || wholeFile[0] != 'Z' || wholeFile[1] != 'W' || wholeFile[2] != 'S') {
    return {{}, LzmaStatus::kNotZws};
  }
  if (wholeFile.size() < kZwsHeaderBytes) return {{}, LzmaStatus::kTruncated};
  const uint32_t fileLength = ReadU32(wholeFile, 4);
  const size_t bodySize =
      fileLength > kSignatureAndLengthBytes ? fileLength - kSignatureAndLengthBytes : 0;
  // The compressed length at offset 8 is not trusted: some writers store a wrong one, and the
  // decoder stops at the body size on its own, so the stream is simply the rest of the file.
  return DecodeLzma(wholeFile.subspan(kPropertiesOffset, kLzmaPropertiesBytes),
                    wholeFile.subspan(kZwsHeaderBytes), std::min(bodySize, limit));
}

}  // namespace swfsaver::lzma
