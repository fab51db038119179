#include "swfplayer/player/Characters.h"

#include <algorithm>
#include <cctype>

namespace swfplayer::player {

std::optional<int> TimelineDefinition::FrameOfLabel(std::string_view label) const {
  auto same = [label](const std::string& name) {
    return std::equal(name.begin(), name.end(), label.begin(), label.end(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
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
