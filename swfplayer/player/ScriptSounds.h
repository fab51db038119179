// The movie's sound as scripts reach it (the Sound object, stopAllSounds): the sound engine,
// with clips standing for their serials and sounds found by their export names.
#pragma once

#include "swfplayer/audio/SoundEngine.h"
#include "swfplayer/avm1/SoundControl.h"
#include "swfplayer/player/Characters.h"

namespace swfplayer::player {

class ScriptSounds final : public avm1::SoundControl {
 public:
  ScriptSounds(const MovieDefinition& movie, audio::SoundEngine& engine) : movie_(movie), engine_(engine) {}

  std::optional<uint16_t> SoundByName(std::u16string_view exportName) override;
  avm1::SoundVoice Start(uint16_t sound, double offsetSeconds, int loops, avm1::Clip* owner) override;
  void StopOwner(avm1::Clip* owner) override { engine_.StopOwner(OwnerOf(owner)); }
  void StopSound(uint16_t sound) override { engine_.StopSound(sound); }
  void StopAll() override { engine_.StopAll(); }
  void SetGains(avm1::Clip* owner, const avm1::SoundGains& gains) override;
  avm1::SoundGains Gains(avm1::Clip* owner) override;
  uint32_t PositionMs(avm1::SoundVoice voice) override { return engine_.PositionMs(voice); }
  std::optional<uint32_t> DurationMs(uint16_t sound) override { return engine_.DurationMs(sound); }
  std::vector<avm1::SoundVoice> TakeFinished() override { return engine_.TakeFinished(); }

 private:
  static audio::SoundOwner OwnerOf(avm1::Clip* clip);

  const MovieDefinition& movie_;
  audio::SoundEngine& engine_;
};

}  // namespace swfplayer::player
