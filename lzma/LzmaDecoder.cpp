#include "lzma/LzmaDecoder.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "lzma/RangeDecoder.h"

namespace swfsaver::lzma {
namespace {

constexpr unsigned kStates = 12;
constexpr unsigned kFirstStateAfterMatch = 7;  // states 7..11: the last symbol copied bytes
constexpr unsigned kPositionStatesMax = 1u << 4;
constexpr unsigned kDistanceLengthStates = 4;  // distance slots depend on min(length - 2, 3)
constexpr unsigned kSlotBits = 6;
constexpr unsigned kFirstDirectSlot = 14;  // from here on, middle bits are coded evenly
constexpr unsigned kFullDistances = 128;
constexpr unsigned kAlignBits = 4;
constexpr unsigned kLiteralCoders = 0x300;  // a plain tree plus two trees for match bytes
constexpr size_t kMinMatch = 2;
constexpr size_t kMaxMatch = kMinMatch + 8 + 8 + 255;
constexpr uint32_t kEndMarkerDistance = 0xFFFFFFFFu;
constexpr uint32_t kMinDictionary = 1u << 12;
constexpr size_t kFirstOutputChunk = size_t{64} << 10;
// Movie bodies rarely shrink more than this, so the first buffer usually holds the whole output
// and is never copied, while a small file claiming a huge body gets a small buffer.
constexpr size_t kLikelyRatio = 16;

struct LengthModel {
  Probability choice;
  Probability choice2;
  Probability low[kPositionStatesMax << 3];
  Probability mid[kPositionStatesMax << 3];
  Probability high[1u << 8];
};

template <typename... Arrays>
void FillHalf(Arrays&... arrays) {
  (std::fill(std::begin(arrays), std::end(arrays), kProbabilityHalf), ...);
}

struct Model {
  explicit Model(const LzmaProperties& properties)
      : literal(size_t{kLiteralCoders}
                    << (properties.literalContextBits + properties.literalPositionBits),
                kProbabilityHalf) {
    FillHalf(isMatch, isRep, isRepG0, isRepG1, isRepG2, isRep0Long, distanceSlot, shortDistanceBits,
             align, matchLength.low, matchLength.mid, matchLength.high, repLength.low,
             repLength.mid, repLength.high);
    matchLength.choice = matchLength.choice2 = repLength.choice = repLength.choice2 =
        kProbabilityHalf;
  }

  Probability isMatch[kStates * kPositionStatesMax];
  Probability isRep[kStates];
  Probability isRepG0[kStates];
  Probability isRepG1[kStates];
  Probability isRepG2[kStates];
  Probability isRep0Long[kStates * kPositionStatesMax];
  Probability distanceSlot[kDistanceLengthStates << kSlotBits];
  Probability shortDistanceBits[1 + kFullDistances - kFirstDirectSlot];
  Probability align[1u << kAlignBits];
  LengthModel matchLength;
  LengthModel repLength;
  std::vector<Probability> literal;
};

unsigned StateAfterLiteral(unsigned state) {
  return state < 4 ? 0 : state < 10 ? state - 3 : state - 6;
}

// After a match the byte at the last distance is the likeliest next literal, so its bits steer
// the probabilities until the first bit that differs.
uint8_t DecodeLiteral(RangeDecoder& coder, Probability* probabilities, bool afterMatch,
                      unsigned matchByte) {
  unsigned symbol = 1;
  if (afterMatch) {
    do {
      const unsigned matchBit = (matchByte >> 7) & 1u;
      matchByte <<= 1;
      const unsigned bit = coder.Bit(probabilities[((1u + matchBit) << 8) + symbol]);
      symbol = (symbol << 1) | bit;
      if (bit != matchBit) break;
    } while (symbol < 0x100);
  }
  while (symbol < 0x100) symbol = (symbol << 1) | coder.Bit(probabilities[symbol]);
  return static_cast<uint8_t>(symbol);
}

// The length less kMinMatch: 0..271.
unsigned DecodeLength(RangeDecoder& coder, LengthModel& model, unsigned positionState) {
  if (coder.Bit(model.choice) == 0) return coder.Tree<3>(model.low + (positionState << 3));
  if (coder.Bit(model.choice2) == 0) return 8 + coder.Tree<3>(model.mid + (positionState << 3));
  return 16 + coder.Tree<8>(model.high);
}

// The distance less one; kEndMarkerDistance marks the end of the stream.
uint32_t DecodeDistance(RangeDecoder& coder, Model& model, unsigned lengthCode) {
  const unsigned lengthState = std::min(lengthCode, kDistanceLengthStates - 1);
  const unsigned slot = coder.Tree<kSlotBits>(model.distanceSlot + (lengthState << kSlotBits));
  if (slot < 4) return slot;
  const unsigned middleBits = (slot >> 1) - 1;
  const uint32_t base = (2u | (slot & 1u)) << middleBits;
  if (slot < kFirstDirectSlot) {
    return base + coder.ReverseTree(model.shortDistanceBits + base - slot, middleBits);
  }
  const uint32_t middle = coder.DirectBits(middleBits - kAlignBits) << kAlignBits;
  return base + middle + coder.ReverseTree(model.align, kAlignBits);
}

LzmaStatus FailureOf(const RangeDecoder& coder) {
  return coder.RanOutOfInput() ? LzmaStatus::kTruncated : LzmaStatus::kCorrupt;
}

LzmaStatus StatusAfterEndMarker(RangeDecoder& coder, bool outputComplete) {
  if (!coder.FinishedCleanly()) return FailureOf(coder);
  return outputComplete ? LzmaStatus::kOk : LzmaStatus::kEndedEarly;
}

class StreamDecoder {
 public:
  StreamDecoder(const LzmaProperties& properties, size_t outputSize)
      : model_(properties),
        outputSize_(outputSize),
        dictionarySize_(std::max(properties.dictionarySize, kMinDictionary)),
        literalContextBits_(properties.literalContextBits),
        literalPositionMask_((1u << properties.literalPositionBits) - 1),
        positionMask_((1u << properties.positionBits) - 1) {}

  DecodeResult Run(std::span<const uint8_t> stream);

 private:
  // The stream has produced every byte asked for: it must end here, with its end marker or by
  // simply finishing, or it holds more than the caller wants.
  LzmaStatus StatusAtOutputEnd(RangeDecoder& coder, unsigned state, size_t position) {
    if (coder.FinishedCleanly()) return LzmaStatus::kOk;
    if (coder.Failed()) return FailureOf(coder);
    const unsigned positionState = static_cast<unsigned>(position) & positionMask_;
    if (coder.Bit(model_.isMatch[state * kPositionStatesMax + positionState]) == 0 ||
        coder.Bit(model_.isRep[state]) != 0) {
      return coder.Failed() ? FailureOf(coder) : LzmaStatus::kExceedsLimit;
    }
    const unsigned lengthCode = DecodeLength(coder, model_.matchLength, positionState);
    const uint32_t distance = DecodeDistance(coder, model_, lengthCode);
    if (coder.Failed()) return FailureOf(coder);
    if (distance == kEndMarkerDistance) return StatusAfterEndMarker(coder, true);
    return LzmaStatus::kExceedsLimit;
  }

  Model model_;
  size_t outputSize_;
  uint32_t dictionarySize_;
  unsigned literalContextBits_;
  unsigned literalPositionMask_;
  unsigned positionMask_;
};

DecodeResult StreamDecoder::Run(std::span<const uint8_t> stream) {
  DecodeResult result;
  RangeDecoder coder;
  switch (coder.Begin(stream)) {
    case RangeDecoder::Start::kOk: break;
    case RangeDecoder::Start::kTooShort: result.status = LzmaStatus::kTruncated; return result;
    case RangeDecoder::Start::kBadFirstByte: result.status = LzmaStatus::kCorrupt; return result;
  }
  if (coder.Damaged()) {
    result.status = LzmaStatus::kCorrupt;
    return result;
  }

  // The decoding state lives in locals so that the compiler can keep it in registers: the
  // output's byte stores could otherwise alias every member.
  std::vector<uint8_t>& output = result.data;
  uint8_t* buffer = nullptr;
  size_t capacity = 0;
  size_t position = 0;
  unsigned state = 0;
  uint32_t rep0 = 0, rep1 = 0, rep2 = 0, rep3 = 0;  // the last four distances, less one
  const auto finish = [&](LzmaStatus outcome) {
    output.resize(position);
    result.status = outcome;
    return std::move(result);
  };

  while (position < outputSize_) {
    // Room for the longest match, grown by doubling but never past the size asked for.
    if (capacity - position < kMaxMatch && capacity < outputSize_) {
      const size_t first = std::max(kFirstOutputChunk, stream.size() * kLikelyRatio);
      output.resize(std::min(outputSize_, std::max({capacity * 2, first, position + kMaxMatch})));
      buffer = output.data();
      capacity = output.size();
    }
    // A stream without an end marker that stops short of the size asked for ends here rather
    // than in symbols made up from the zeros past its end.
    if (coder.EndsHere()) return finish(LzmaStatus::kEndedEarly);
    const unsigned positionState = static_cast<unsigned>(position) & positionMask_;
    if (coder.Bit(model_.isMatch[state * kPositionStatesMax + positionState]) == 0) {
      const unsigned previous = position > 0 ? buffer[position - 1] : 0;
      const size_t literalState = ((position & literalPositionMask_) << literalContextBits_) +
                                  (previous >> (8 - literalContextBits_));
      // After a match rep0 is below position, so the match byte is always inside the output.
      const bool afterMatch = state >= kFirstStateAfterMatch;
      const unsigned matchByte = afterMatch ? buffer[position - rep0 - 1] : 0;
      const uint8_t byte = DecodeLiteral(
          coder, model_.literal.data() + literalState * kLiteralCoders, afterMatch, matchByte);
      if (coder.Failed()) return finish(FailureOf(coder));
      buffer[position++] = byte;
      state = StateAfterLiteral(state);
      continue;
    }

    unsigned lengthCode = 0;
    if (coder.Bit(model_.isRep[state]) == 0) {
      lengthCode = DecodeLength(coder, model_.matchLength, positionState);
      const uint32_t distance = DecodeDistance(coder, model_, lengthCode);
      if (coder.Failed()) return finish(FailureOf(coder));
      if (distance == kEndMarkerDistance) return finish(StatusAfterEndMarker(coder, false));
      if (distance >= position || distance >= dictionarySize_) return finish(LzmaStatus::kCorrupt);
      rep3 = rep2;
      rep2 = rep1;
      rep1 = rep0;
      rep0 = distance;
      state = state < kFirstStateAfterMatch ? 7 : 10;
    } else {
      if (coder.Failed()) return finish(FailureOf(coder));
      if (position == 0) return finish(LzmaStatus::kCorrupt);  // nothing to repeat yet
      if (coder.Bit(model_.isRepG0[state]) == 0) {
        if (coder.Bit(model_.isRep0Long[state * kPositionStatesMax + positionState]) == 0) {
          if (coder.Failed()) return finish(FailureOf(coder));
          state = state < kFirstStateAfterMatch ? 9 : 11;
          buffer[position] = buffer[position - rep0 - 1];
          ++position;
          continue;
        }
      } else {
        uint32_t distance = 0;
        if (coder.Bit(model_.isRepG1[state]) == 0) {
          distance = rep1;
        } else {
          if (coder.Bit(model_.isRepG2[state]) == 0) {
            distance = rep2;
          } else {
            distance = rep3;
            rep3 = rep2;
          }
          rep2 = rep1;
        }
        rep1 = rep0;
        rep0 = distance;
      }
      lengthCode = DecodeLength(coder, model_.repLength, positionState);
      if (coder.Failed()) return finish(FailureOf(coder));
      state = state < kFirstStateAfterMatch ? 8 : 11;
    }

    size_t length = lengthCode + kMinMatch;
    const bool pastLimit = length > outputSize_ - position;
    if (pastLimit) length = outputSize_ - position;
    uint8_t* target = buffer + position;
    const uint8_t* source = target - rep0 - 1;
    if (size_t{rep0} + 1 >= length) {
      std::memcpy(target, source, length);
    } else {
      for (size_t i = 0; i < length; ++i) target[i] = source[i];  // overlapping: a run
    }
    position += length;
    if (pastLimit) return finish(LzmaStatus::kExceedsLimit);
  }
  return finish(StatusAtOutputEnd(coder, state, position));
}

}  // namespace

std::string_view LzmaStatusName(LzmaStatus status) {
  switch (status) {
    case LzmaStatus::kOk: return "ok";
    case LzmaStatus::kBadProperties: return "impossible LZMA properties";
    case LzmaStatus::kTruncated: return "LZMA data cut short";
    case LzmaStatus::kCorrupt: return "damaged LZMA data";
    case LzmaStatus::kEndedEarly: return "LZMA data ended before the stated size";
    case LzmaStatus::kExceedsLimit: return "LZMA data longer than the stated size";
    case LzmaStatus::kNotZws: return "not a ZWS movie";
  }
  return "unknown";
}

std::optional<LzmaProperties> ParseLzmaProperties(std::span<const uint8_t> properties) {
  if (properties.size() < kLzmaPropertiesBytes) return std::nullopt;
  unsigned packed = properties[0];
  if (packed >= 9 * 5 * 5) return std::nullopt;
  LzmaProperties parsed;
  parsed.literalContextBits = packed % 9;
  packed /= 9;
  parsed.literalPositionBits = packed % 5;
  parsed.positionBits = packed / 5;
  parsed.dictionarySize =
      static_cast<uint32_t>(properties[1]) | (static_cast<uint32_t>(properties[2]) << 8) |
      (static_cast<uint32_t>(properties[3]) << 16) | (static_cast<uint32_t>(properties[4]) << 24);
  return parsed;
}

DecodeResult DecodeLzma(std::span<const uint8_t> properties5, std::span<const uint8_t> stream,
                        size_t outputSize) {
  const auto properties = ParseLzmaProperties(properties5);
  if (!properties) return {{}, LzmaStatus::kBadProperties};
  StreamDecoder decoder(*properties, outputSize);
  return decoder.Run(stream);
}

}  // namespace swfsaver::lzma
