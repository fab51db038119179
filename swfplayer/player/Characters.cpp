#include "swfplayer/player/Characters.h"

#include <algorithm>

namespace swfplayer::player {

std::optional<int> TimelineDefinition::FrameOfLabel(std::u16string_view label) const {
  // Labels compare without case in the ASCII letters only, as the Flash Player compares them.
  auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
  auto same = [&](const std::u16string& name) {
    return std::equal(name.begin(), name.end(), label.begin(), label.end(),
                      [&](char16_t a, char16_t b) { return lower(a) == lower(b); });
  };
  for (const auto& [name, frame] : labels) {
    if (same(name)) return frame;
  }
  return std::nullopt;
}

void Dictionary::Define(uint16_t id, Character character) {
  characters_.try_emplace(id, std::make_unique<const Character>(std::move(character)));
}

void Dictionary::Redefine(uint16_t id, Character character) {
  const auto found = characters_.find(id);
  if (found != characters_.end()) found->second = std::make_unique<const Character>(std::move(character));
}

const Character* Dictionary::Find(uint16_t id) const {
  const auto found = characters_.find(id);
  return found == characters_.end() ? nullptr : found->second.get();
}

}  // namespace swfplayer::player
