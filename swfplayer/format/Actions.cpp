#include "swfplayer/format/Actions.h"

#include <bit>
#include <cmath>

#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {

enum : uint8_t {
  kEnd = 0x00,
  kNextFrameCode = 0x04,
  kPrevFrameCode = 0x05,
  kPlayCode = 0x06,
  kStopCode = 0x07,
  kStopSoundsCode = 0x09,
  kGotoFrameCode = 0x81,
  kSetTargetCode = 0x8B,
  kGoToLabelCode = 0x8C,
  kPushCode = 0x96,
  kGotoFrame2Code = 0x9F,
};

enum : uint8_t { kPushString = 0, kPushFloat = 1, kPushDouble = 6, kPushInteger = 7 };

// A number the goto can use: whole and within a frame number's reach.
std::optional<int64_t> WholeNumber(double value) {
  if (!std::isfinite(value) || value != std::trunc(value) || std::abs(value) > 2147483647.0) {
    return std::nullopt;
  }
  return static_cast<int64_t>(value);
}

// The single value of a Push as the operand of the GotoFrame2 after it.
std::optional<FrameAction> ReadPushedFrame(std::span<const uint8_t> payload) {
  Reader in(payload);
  FrameAction goTo;
  goTo.kind = ActionKind::kGotoFrame2;
  std::optional<int64_t> number;
  switch (in.U8()) {
    case kPushString:
      goTo.text = in.String();
      goTo.byLabel = true;
      if (goTo.text.find_first_of("/:") != std::string::npos) return std::nullopt;  // a path
      break;
    case kPushFloat:
      number = WholeNumber(std::bit_cast<float>(in.U32()));
      break;
    case kPushDouble: {
      // The two 32-bit halves are stored high half first.
      const uint64_t high = in.U32();
      number = WholeNumber(std::bit_cast<double>((high << 32) | in.U32()));
      break;
    }
    case kPushInteger:
      number = static_cast<int32_t>(in.U32());
      break;
    default:
      return std::nullopt;
  }
  if (!in.Ok() || in.RemainingBytes() != 0) return std::nullopt;  // broken, or more values
  if (!goTo.byLabel) {
    if (!number) return std::nullopt;
    goTo.frame = *number;
  }
  return goTo;
}

}  // namespace

std::optional<ActionBlock> DecodeDoAction(std::span<const uint8_t> body) {
  Reader in(body);
  ActionBlock block;
  std::optional<FrameAction> pushed;  // a Push waiting for its GotoFrame2
  size_t count = 0;
  while (in.RemainingBytes() > 0) {
    const uint8_t code = in.U8();
    if (code == kEnd) break;
    if (++count > kMaxActionsPerBlock) return std::nullopt;
    std::span<const uint8_t> payload;
    if (code >= 0x80) {
      const uint16_t length = in.U16();
      payload = in.Bytes(length);
      if (!in.Ok()) return std::nullopt;
    }
    if (pushed && code != kGotoFrame2Code) return std::nullopt;
    Reader args(payload);
    FrameAction action;
    switch (code) {
      case kStopCode: action.kind = ActionKind::kStop; break;
      case kPlayCode: action.kind = ActionKind::kPlay; break;
      case kNextFrameCode: action.kind = ActionKind::kNextFrame; break;
      case kPrevFrameCode: action.kind = ActionKind::kPrevFrame; break;
      case kStopSoundsCode: continue;
      case kGotoFrameCode:
        action.kind = ActionKind::kGotoFrame;
        action.frame = args.U16();
        break;
      case kGoToLabelCode:
        action.kind = ActionKind::kGotoLabel;
        action.text = args.String();
        break;
      case kSetTargetCode:
        action.kind = ActionKind::kSetTarget;
        action.text = args.String();
        break;
      case kPushCode:
        pushed = ReadPushedFrame(payload);
        if (!pushed) return std::nullopt;
        continue;
      case kGotoFrame2Code: {
        if (!pushed) return std::nullopt;
        action = std::move(*pushed);
        pushed.reset();
        const uint8_t flags = args.U8();
        action.play = (flags & 0x01) != 0;
        if (flags & 0x02) action.sceneBias = args.U16();
        break;
      }
      default:
        return std::nullopt;
    }
    if (!args.Ok()) return std::nullopt;
    block.push_back(std::move(action));
  }
  if (pushed || !in.Ok()) return std::nullopt;
  return block;
}

}  // namespace swfplayer::format
