// Reference LZMA streams for the decoder's tests and benchmark, from liblzma's raw encoder.
#pragma once

#include <lzma.h>

#include <array>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace swfsaver::lzma::testing {

struct EncodeOptions {
  uint32_t lc = 3, lp = 0, pb = 2;
  uint32_t dictionarySize = 1u << 20;
  bool endMarker = true;
};

struct Encoded {
  std::array<uint8_t, 5> properties{};
  std::vector<uint8_t> stream;  // empty if liblzma refused, which fails every test using it
};

inline std::array<uint8_t, 5> Properties(uint32_t lc, uint32_t lp, uint32_t pb,
                                         uint32_t dictionary) {
  return {static_cast<uint8_t>((pb * 5 + lp) * 9 + lc), static_cast<uint8_t>(dictionary),
          static_cast<uint8_t>(dictionary >> 8), static_cast<uint8_t>(dictionary >> 16),
          static_cast<uint8_t>(dictionary >> 24)};
}

// LZMA_FILTER_LZMA1 always writes the end marker; LZMA1EXT without ALLOW_EOPM never does.
inline Encoded EncodeWithLiblzma(std::span<const uint8_t> data, const EncodeOptions& options) {
  lzma_options_lzma lzmaOptions{};
  lzma_lzma_preset(&lzmaOptions, 6);
  lzmaOptions.lc = options.lc;
  lzmaOptions.lp = options.lp;
  lzmaOptions.pb = options.pb;
  lzmaOptions.dict_size = options.dictionarySize;
  const lzma_filter filters[] = {
      {options.endMarker ? LZMA_FILTER_LZMA1 : LZMA_FILTER_LZMA1EXT, &lzmaOptions},
      {LZMA_VLI_UNKNOWN, nullptr}};
  Encoded encoded{Properties(options.lc, options.lp, options.pb, options.dictionarySize), {}};
  encoded.stream.resize(data.size() + data.size() / 2 + 1024);
  size_t written = 0;
  if (lzma_raw_buffer_encode(filters, nullptr, data.data(), data.size(), encoded.stream.data(),
                             &written, encoded.stream.size()) != LZMA_OK) {
    written = 0;
  }
  encoded.stream.resize(written);
  return encoded;
}

// The ZWS twin of an uncompressed (FWS) movie: "ZWS", the version, the FWS file's length, the
// compressed length, the properties, then the body (everything after byte 7) as a raw stream.
inline std::vector<uint8_t> ZwsFromFws(std::span<const uint8_t> fws, const EncodeOptions& options = {}) {
  if (fws.size() < 8) return {};
  const Encoded encoded = EncodeWithLiblzma(fws.subspan(8), options);
  const auto length = static_cast<uint32_t>(encoded.stream.size());
  std::vector<uint8_t> zws = {'Z', 'W', 'S', fws[3], fws[4], fws[5], fws[6], fws[7],
                              static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                              static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 24)};
  zws.insert(zws.end(), encoded.properties.begin(), encoded.properties.end());
  zws.insert(zws.end(), encoded.stream.begin(), encoded.stream.end());
  return zws;
}

// Words from a small vocabulary: matches of every length and distance, like a movie's text.
inline std::vector<uint8_t> TextLike(size_t size, uint32_t seed) {
  static const char* const kWords[] = {"movie ",  "frame ", "the ",   "saver ", "screen ",
                                       "plays\n", "a ",     "shape ", "tag ",   "colour, "};
  std::mt19937 random(seed);
  std::string text;
  while (text.size() < size) text += kWords[random() % std::size(kWords)];
  return {text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size)};
}

inline std::vector<uint8_t> RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(size);
  for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
  return bytes;
}

}  // namespace swfsaver::lzma::testing
