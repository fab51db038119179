#include "tools/JpegWriter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace swfsaver::tools {
namespace {

using Block = std::array<double, 64>;  // row-major, 8 x 8

// Natural (row-major) index of each zig-zag position: the order JPEG stores coefficients in.
std::array<int, 64> ZigZag() {
  std::array<int, 64> order{};
  int k = 0;
  for (int sum = 0; sum < 15; ++sum) {
    const int low = std::max(0, sum - 7), high = std::min(sum, 7);
    for (int i = 0; i <= high - low; ++i) {
      const int row = sum % 2 ? low + i : high - i;
      order[k++] = row * 8 + (sum - row);
    }
  }
  return order;
}

// Quantisers that grow with frequency: fine enough for smooth generated pictures.
std::array<uint8_t, 64> Quantisers(int base, int slope) {
  std::array<uint8_t, 64> q{};
  for (int i = 0; i < 64; ++i) q[i] = static_cast<uint8_t>(base + slope * (i / 8 + i % 8));
  return q;
}

// Entropy-coded bits, MSB first, with a zero byte stuffed after each 0xFF.
class EntropyWriter {
 public:
  explicit EntropyWriter(std::vector<uint8_t>& out) : out_(out) {}
  void Write(uint32_t value, int bits) {
    for (int i = bits; i-- > 0;) {
      byte_ = static_cast<uint8_t>((byte_ << 1) | ((value >> i) & 1u));
      if (++used_ == 8) Flush();
    }
  }
  void Finish() {  // pads the last byte with ones
    while (used_ != 0) Write(1, 1);
  }

 private:
  void Flush() {
    out_.push_back(byte_);
    if (byte_ == 0xFF) out_.push_back(0);
    byte_ = 0;
    used_ = 0;
  }
  std::vector<uint8_t>& out_;
  uint8_t byte_ = 0;
  int used_ = 0;
};

// The magnitude category of a coefficient and its extra bits (negative values as v - 1).
int Category(int value) {
  int magnitude = std::abs(value), bits = 0;
  while (magnitude != 0) {
    ++bits;
    magnitude >>= 1;
  }
  return bits;
}

uint32_t ExtraBits(int value, int category) {
  return static_cast<uint32_t>(value < 0 ? value + (1 << category) - 1 : value);
}

// Every AC symbol: end of block, sixteen zeros, then run/size pairs. All get 8-bit codes in
// this order; the DC categories 0 to 11 get 4-bit codes.
std::vector<uint8_t> AcSymbols() {
  std::vector<uint8_t> symbols = {0x00, 0xF0};
  for (int run = 0; run < 16; ++run) {
    for (int size = 1; size <= 10; ++size) symbols.push_back(static_cast<uint8_t>(run << 4 | size));
  }
  return symbols;
}

void PutMarker(std::vector<uint8_t>& out, uint8_t marker, const std::vector<uint8_t>& body) {
  const size_t length = body.size() + 2;
  out.insert(out.end(),
             {0xFF, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)});
  out.insert(out.end(), body.begin(), body.end());
}

class BlockCoder {
 public:
  explicit BlockCoder(EntropyWriter& bits) : bits_(bits) {
    const std::vector<uint8_t> symbols = AcSymbols();
    for (size_t i = 0; i < symbols.size(); ++i) acCode_[symbols[i]] = static_cast<uint8_t>(i);
    for (int u = 0; u < 8; ++u) {
      for (int x = 0; x < 8; ++x) {
        cosine_[u * 8 + x] =
            (u == 0 ? std::sqrt(0.5) : 1.0) * std::cos((2 * x + 1) * u * std::numbers::pi / 16) / 2;
      }
    }
  }

  // Transforms, quantises and writes one block of level-shifted samples.
  void Code(const Block& samples, const std::array<uint8_t, 64>& quantisers, int& previousDc) {
    std::array<int, 64> coefficients{};
    for (int v = 0; v < 8; ++v) {
      for (int u = 0; u < 8; ++u) {
        double sum = 0;
        for (int y = 0; y < 8; ++y) {
          for (int x = 0; x < 8; ++x)
            sum += samples[y * 8 + x] * cosine_[u * 8 + x] * cosine_[v * 8 + y];
        }
        coefficients[v * 8 + u] = static_cast<int>(std::lround(sum / quantisers[v * 8 + u]));
      }
    }
    // Within ±1023 the difference of two stays within category 11, the largest baseline has.
    const int dc = std::clamp(coefficients[0], -1023, 1023);
    const int category = Category(dc - previousDc);
    bits_.Write(static_cast<uint32_t>(category), 4);
    bits_.Write(ExtraBits(dc - previousDc, category), category);
    previousDc = dc;
    int run = 0;
    for (int k = 1; k < 64; ++k) {
      const int value = std::clamp(coefficients[zigZag_[k]], -1023, 1023);
      if (value == 0) {
        ++run;
        continue;
      }
      for (; run >= 16; run -= 16) bits_.Write(acCode_[0xF0], 8);
      const int size = Category(value);
      bits_.Write(acCode_[run << 4 | size], 8);
      bits_.Write(ExtraBits(value, size), size);
      run = 0;
    }
    if (run > 0) bits_.Write(acCode_[0x00], 8);
  }

 private:
  EntropyWriter& bits_;
  std::array<uint8_t, 256> acCode_{};
  std::array<double, 64> cosine_{};
  const std::array<int, 64> zigZag_ = ZigZag();
};

}  // namespace

std::vector<uint8_t> EncodeJpeg(const std::vector<uint8_t>& rgb, int width, int height) {
  if (width < 1 || height < 1 || width > 0xFFFF || height > 0xFFFF ||
      rgb.size() < static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
    throw std::invalid_argument("EncodeJpeg: bad image size");
  }
  const std::array<uint8_t, 64> quantisers[2] = {Quantisers(3, 2), Quantisers(4, 3)};
  const std::array<int, 64> zigZag = ZigZag();

  std::vector<uint8_t> out = {0xFF, 0xD8};
  PutMarker(out, 0xE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
  std::vector<uint8_t> tables;
  for (int table = 0; table < 2; ++table) {
    tables.push_back(static_cast<uint8_t>(table));
    for (int k = 0; k < 64; ++k) tables.push_back(quantisers[table][zigZag[k]]);
  }
  PutMarker(out, 0xDB, tables);
  PutMarker(out, 0xC0,
            {8, static_cast<uint8_t>(height >> 8), static_cast<uint8_t>(height),
             static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width), 3, 1, 0x11, 0, 2, 0x11,
             1, 3, 0x11, 1});
  std::vector<uint8_t> huffman = {0x00, 0, 0, 0, 12};  // DC: twelve codes of 4 bits
  huffman.resize(huffman.size() + 12);
  for (int i = 0; i < 12; ++i) huffman.push_back(static_cast<uint8_t>(i));
  const std::vector<uint8_t> acSymbols = AcSymbols();
  huffman.insert(huffman.end(),
                 {0x10, 0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(acSymbols.size())});
  huffman.resize(huffman.size() + 8);
  huffman.insert(huffman.end(), acSymbols.begin(), acSymbols.end());
  PutMarker(out, 0xC4, huffman);
  PutMarker(out, 0xDA, {3, 1, 0x00, 2, 0x00, 3, 0x00, 0, 63, 0});

  EntropyWriter bits(out);
  BlockCoder coder(bits);
  int previousDc[3] = {0, 0, 0};
  for (int top = 0; top < height; top += 8) {
    for (int left = 0; left < width; left += 8) {
      Block planes[3];
      for (int i = 0; i < 64; ++i) {
        // Edge blocks repeat the last row and column rather than pad with black.
        const int x = std::min(left + i % 8, width - 1), y = std::min(top + i / 8, height - 1);
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        planes[0][i] = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2] - 128;
        planes[1][i] = -0.168736 * p[0] - 0.331264 * p[1] + 0.5 * p[2];
        planes[2][i] = 0.5 * p[0] - 0.418688 * p[1] - 0.081312 * p[2];
      }
      for (int c = 0; c < 3; ++c) coder.Code(planes[c], quantisers[c == 0 ? 0 : 1], previousDc[c]);
    }
  }
  bits.Finish();
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

}  // namespace swfsaver::tools
