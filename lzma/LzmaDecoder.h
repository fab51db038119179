// A raw LZMA (LZMA1) decoder for whole buffers in memory: the body of a ZWS movie is one LZMA
// stream whose uncompressed size the movie header states. The output vector is the dictionary,
// so nothing beyond the output itself is allocated for the window, and the output never grows
// past the size the caller asks for. Portable, no dependencies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace swfsaver::lzma {

enum class LzmaStatus {
  kOk,             // exactly outputSize bytes, and the stream ends there
  kBadProperties,  // the properties are missing or impossible; nothing was decoded
  kTruncated,      // the compressed data ran out before the stream ended
  kCorrupt,        // the stream is damaged (bad first byte, a distance before the output's
                   // start or past the dictionary, a range coder left in an impossible state)
  kEndedEarly,     // the end marker came before outputSize bytes
  kExceedsLimit,   // the stream holds more than outputSize bytes
  kNotZws,         // DecodeZwsBody only: the data does not start with "ZWS"
};

std::string_view LzmaStatusName(LzmaStatus status);

inline constexpr size_t kLzmaPropertiesBytes = 5;

struct LzmaProperties {
  unsigned literalContextBits = 3;   // lc, 0..8
  unsigned literalPositionBits = 0;  // lp, 0..4
  unsigned positionBits = 2;         // pb, 0..4
  uint32_t dictionarySize = 0;       // distances must stay below it (and below 4 KiB at least)
};

// The five properties bytes: (pb * 5 + lp) * 9 + lc, then the dictionary size (UInt32 LE).
// Empty when there are fewer than five bytes or the first one is 225 or more.
std::optional<LzmaProperties> ParseLzmaProperties(std::span<const uint8_t> properties);

struct DecodeResult {
  // Every byte decoded before the stream ended, failed or reached the limit; never more than
  // the size asked for. A damaged or cut-off stream still hands back its good prefix.
  std::vector<uint8_t> data;
  LzmaStatus status = LzmaStatus::kOk;

  bool ok() const { return status == LzmaStatus::kOk; }
};

// Decodes `stream` (the range-coded data, without properties or size fields) into at most
// outputSize bytes. An end marker after exactly outputSize bytes is accepted, as is a stream
// that simply finishes there; data after the stream's end is ignored.
DecodeResult DecodeLzma(std::span<const uint8_t> properties5, std::span<const uint8_t> stream,
                        size_t outputSize);

}  // namespace swfsaver::lzma
