// DoAction blocks, as far as the player runs them: the actions that steer timelines. Anything
// else (conditions, jumps, variables, calls) would need a script engine, and running the
// steering actions around it could do what the author did not mean, so a block holding any
// other action is not run at all.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace swfplayer::format {

enum class ActionKind : uint8_t {
  kStop,
  kPlay,
  kNextFrame,
  kPrevFrame,
  kGotoFrame,   // frame: 0-based
  kGotoLabel,   // text: the label
  kSetTarget,   // text: the target path; empty: back to the block's own timeline
  kGotoFrame2,  // the operand pushed before it: text when byLabel, else frame (1-based)
};

struct FrameAction {
  ActionKind kind = ActionKind::kStop;
  int64_t frame = 0;
  std::string text;
  bool byLabel = false;     // kGotoFrame2
  bool play = false;        // kGotoFrame2: gotoAndPlay rather than gotoAndStop
  uint16_t sceneBias = 0;   // kGotoFrame2: added to a frame number
  bool operator==(const FrameAction&) const = default;
};

using ActionBlock = std::vector<FrameAction>;

// The block when every action in it is one of Stop, Play, NextFrame, PrevFrame, GotoFrame,
// GoToLabel, SetTarget, StopSounds (there is no sound to stop, so it is left out), or a
// GotoFrame2 right after a Push of exactly one value that is a string (a label or a frame
// number, but no "path:frame") or a whole number, and no Push stands anywhere else. Nothing
// when it holds anything else, more than kMaxActionsPerBlock actions, or an action whose
// length runs past the tag.
std::optional<ActionBlock> DecodeDoAction(std::span<const uint8_t> body);

}  // namespace swfplayer::format
