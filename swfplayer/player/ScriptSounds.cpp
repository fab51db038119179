#include "swfplayer/player/ScriptSounds.h"

#include <algorithm>

#include "swfplayer/player/DisplayObject.h"

namespace swfplayer::player {

audio::SoundOwner ScriptSounds::OwnerOf(avm1::Clip* clip) {
  return clip != nullptr ? static_cast<DisplayObject*>(clip)->Serial() : audio::kMovieOwner;
}

std::optional<uint16_t> ScriptSounds::SoundByName(std::u16string_view exportName) {
  const auto found = movie_.exports.find(std::u16string(exportName));
  if (found == movie_.exports.end() || !movie_.sounds.events.contains(found->second)) return std::nullopt;
  return found->second;
}

avm1::SoundVoice ScriptSounds::Start(uint16_t sound, double offsetSeconds, int loops, avm1::Clip* owner) {
  const auto count = static_cast<uint16_t>(std::clamp(loops, 1, 65535));
  return engine_.StartAt(sound, offsetSeconds, count, OwnerOf(owner));
}

void ScriptSounds::SetGains(avm1::Clip* owner, const avm1::SoundGains& gains) {
  audio::SoundTransform transform;
  transform.ll = gains.ll;
  transform.lr = gains.lr;
  transform.rl = gains.rl;
  transform.rr = gains.rr;
  transform.volume = gains.volume;
  engine_.SetTransform(OwnerOf(owner), transform);
}

avm1::SoundGains ScriptSounds::Gains(avm1::Clip* owner) {
  const audio::SoundTransform transform = engine_.Transform(OwnerOf(owner));
  return {transform.ll, transform.lr, transform.rl, transform.rr, transform.volume};
}

}  // namespace swfplayer::player
