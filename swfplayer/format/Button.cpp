#include "swfplayer/format/Button.h"

#include "swfplayer/format/Filters.h"
#include "swfplayer/format/Limits.h"
#include "swfplayer/format/Reader.h"

namespace swfplayer::format {
namespace {

constexpr uint8_t kStates = 0x0F;
constexpr uint8_t kHasFilterList = 0x10;
constexpr uint8_t kHasBlendMode = 0x20;

}  // namespace

std::optional<ButtonDefinition> DecodeButton(std::span<const uint8_t> body, int version) {
  Reader in(body);
  ButtonDefinition button;
  button.id = in.U16();
  if (version >= 2) {
    in.U8();   // track as menu
    in.U16();  // where the actions begin
  }
  if (!in.Ok()) return std::nullopt;
  for (;;) {
    const uint8_t flags = in.U8();
    if (!in.Ok() || flags == 0) break;  // the end flag
    ButtonRecord record;
    record.states = flags & kStates;
    record.characterId = in.U16();
    record.depth = in.U16();
    record.matrix = in.Matrix();
    if (version >= 2) {
      record.colorTransform = in.ColorTransform(true);
      if (flags & kHasFilterList) {
        std::optional<std::vector<Filter>> filters = ReadFilterList(in);
        if (filters) record.effects.filters = std::move(*filters);
        else in.Fail();
      }
      if (flags & kHasBlendMode) record.effects.blendMode = BlendModeFromSwf(in.U8());
    }
    if (!in.Ok()) break;
    if (button.records.size() >= kMaxButtonRecords) {
      button.truncated = true;
      break;
    }
    button.records.push_back(record);
  }
  button.truncated |= !in.Ok();
  return button;
}

}  // namespace swfplayer::format
