// DefineButton and DefineButton2: the characters a button shows in each of its states. Only the
// records are kept; the button's actions (on press, release...) are not, since nothing here
// reacts to the pointer.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "swfplayer/types/Effects.h"
#include "swfplayer/types/Geometry.h"

namespace swfplayer::format {

inline constexpr uint8_t kButtonUp = 0x01;
inline constexpr uint8_t kButtonOver = 0x02;
inline constexpr uint8_t kButtonDown = 0x04;
inline constexpr uint8_t kButtonHitTest = 0x08;

struct ButtonRecord {
  uint8_t states = 0;  // kButtonUp and the others
  uint16_t characterId = 0;
  uint16_t depth = 0;
  Matrix matrix;
  ColorTransform colorTransform;  // DefineButton2 only
  DisplayEffects effects;         // DefineButton2 only: filters and blend mode
  bool operator==(const ButtonRecord&) const = default;
};

struct ButtonDefinition {
  uint16_t id = 0;
  std::vector<ButtonRecord> records;
  bool truncated = false;  // records were dropped (damage or kMaxButtonRecords)
};

// version 1 or 2 from the tag code. Nothing for a tag too short for its id; records that break
// off end the list.
std::optional<ButtonDefinition> DecodeButton(std::span<const uint8_t> body, int version);

}  // namespace swfplayer::format
