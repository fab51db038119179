// The binary range decoder under LZMA, with the adaptive 11-bit probabilities and the bit-tree
// helpers built on it. Internal to the decoder: kept in a header so that every call inlines
// into the decoding loop and the coder's state can live in registers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace swfsaver::lzma {

using Probability = uint16_t;

inline constexpr unsigned kProbabilityBits = 11;
inline constexpr Probability kProbabilityHalf = 1u << (kProbabilityBits - 1);

class RangeDecoder {
 public:
  enum class Start { kOk, kTooShort, kBadFirstByte };

  // Takes the five bytes that open every stream: a zero, then the first code word.
  Start Begin(std::span<const uint8_t> stream) {
    next_ = stream.data();
    end_ = stream.data() + stream.size();
    if (stream.size() < 5) return Start::kTooShort;
    // The encoder's first byte is always zero; anything else is not an LZMA stream.
    if (*next_++ != 0) return Start::kBadFirstByte;
    for (int i = 0; i < 4; ++i) code_ = (code_ << 8) | *next_++;
    return Start::kOk;
  }

  // Past the end of the input the decoder reads zeros and remembers it did: what it decodes
  // from then on is fiction, and the caller drops the symbol it was working on.
  bool RanOutOfInput() const { return ranOut_; }
  // A sound stream always keeps code below range; once it is not, it never is again.
  bool Damaged() const { return code_ >= range_; }
  bool Failed() const { return ranOut_ || code_ >= range_; }

  // A stream without an end marker finishes with the code word at zero once its last byte is
  // in; the encoder's flush guarantees that.
  bool FinishedCleanly() {
    Normalize();
    return !ranOut_ && code_ == 0;
  }

  // True when the input is used up and the code word is zero: where a stream without an end
  // marker stops. Only meaningful with the input exhausted, since mid-stream the code word
  // passes through zero now and then. Reads nothing.
  bool EndsHere() const {
    if (range_ >= kTopValue) return next_ == end_ && code_ == 0;
    return end_ - next_ == 1 && ((code_ << 8) | *next_) == 0;
  }

  unsigned Bit(Probability& probability) {
    Normalize();
    const uint32_t bound = (range_ >> kProbabilityBits) * probability;
    if (code_ < bound) {
      range_ = bound;
      probability = static_cast<Probability>(
          probability + (((1u << kProbabilityBits) - probability) >> kMoveBits));
      return 0;
    }
    range_ -= bound;
    code_ -= bound;
    probability = static_cast<Probability>(probability - (probability >> kMoveBits));
    return 1;
  }

  // Bits of even probability, most significant first.
  uint32_t DirectBits(unsigned count) {
    uint32_t result = 0;
    while (count-- > 0) {
      Normalize();
      range_ >>= 1;
      const uint32_t bit = code_ >= range_ ? 1u : 0u;
      code_ -= range_ & (0u - bit);
      result = (result << 1) | bit;
    }
    return result;
  }

  // A symbol of `bits` bits through a binary tree of 2^bits probabilities (index 0 unused),
  // most significant bit first.
  template <unsigned bits>
  unsigned Tree(Probability* probabilities) {
    unsigned node = 1;
    for (unsigned i = 0; i < bits; ++i) node = (node << 1) | Bit(probabilities[node]);
    return node - (1u << bits);
  }

  // The same tree walk, but the symbol's bits come least significant first.
  unsigned ReverseTree(Probability* probabilities, unsigned bits) {
    unsigned node = 1;
    unsigned symbol = 0;
    for (unsigned i = 0; i < bits; ++i) {
      const unsigned bit = Bit(probabilities[node]);
      node = (node << 1) | bit;
      symbol |= bit << i;
    }
    return symbol;
  }

 private:
  static constexpr unsigned kMoveBits = 5;
  static constexpr uint32_t kTopValue = 1u << 24;

  // Lazily, before each bit rather than after: a stream cut right after its last symbol then
  // never reads past its end, so running out of input always means a symbol was incomplete.
  // One shift always suffices: no single bit leaves the range below 2^17.
  void Normalize() {
    if (range_ < kTopValue) {
      range_ <<= 8;
      code_ = (code_ << 8) | NextByte();
    }
  }

  uint32_t NextByte() {
    if (next_ != end_) return *next_++;
    ranOut_ = true;
    return 0;
  }

  const uint8_t* next_ = nullptr;
  const uint8_t* end_ = nullptr;
  uint32_t range_ = 0xFFFFFFFFu;
  uint32_t code_ = 0;
  bool ranOut_ = false;
};

}  // namespace swfsaver::lzma
