// The body of a ZWS movie (SWF 13 and later, LZMA-compressed): what follows its first eight
// bytes once decompressed, ready for the same header and tag parsing as an FWS movie's body.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "lzma/LzmaDecoder.h"

namespace swfsaver::lzma {

// Layout: "ZWS", version, FileLength (UInt32 LE, uncompressed, header included), the
// compressed length (UInt32 LE), the five LZMA properties bytes, then the raw stream with no
// size field and with or without an end marker.
inline constexpr size_t kZwsHeaderBytes = 17;

// Decodes at most min(FileLength - 8, limit) bytes of body. A header cut short is kTruncated;
// a body larger than `limit` gives its first `limit` bytes and kExceedsLimit.
DecodeResult DecodeZwsBody(std::span<const uint8_t> wholeFile, size_t limit);

}  // namespace swfsaver::lzma
