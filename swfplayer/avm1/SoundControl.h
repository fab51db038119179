// What scripts reach of the movie's sound: ActionScript's Sound object, stopAllSounds and the
// StopSounds action. The player answers through its sound engine; a host without one leaves
// scripts a silent movie (the Sound object still answers, with nothing playing).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace swfplayer::avm1 {

class Clip;

// A Sound object's transform, as its getTransform gives it: the four channel gains and the
// volume, in percent.
struct SoundGains {
  int32_t ll = 100, lr = 0, rl = 0, rr = 100;
  int32_t volume = 100;
};

using SoundVoice = uint64_t;  // one playing instance of a sound; 0 is none

// Owners: the clip a Sound object was made for, or null for the whole movie.
class SoundControl {
 public:
  virtual ~SoundControl() = default;

  // The sound a script attaches by its export name (attachSound).
  virtual std::optional<uint16_t> SoundByName(std::u16string_view exportName) = 0;
  // Starts the sound offsetSeconds in, played loops times; 0 when nothing started.
  virtual SoundVoice Start(uint16_t sound, double offsetSeconds, int loops, Clip* owner) = 0;
  virtual void StopOwner(Clip* owner) = 0;
  virtual void StopSound(uint16_t sound) = 0;
  virtual void StopAll() = 0;
  virtual void SetGains(Clip* owner, const SoundGains& gains) = 0;
  virtual SoundGains Gains(Clip* owner) = 0;
  virtual uint32_t PositionMs(SoundVoice voice) = 0;
  virtual std::optional<uint32_t> DurationMs(uint16_t sound) = 0;
  // The voices that played to their end since the last call (onSoundComplete).
  virtual std::vector<SoundVoice> TakeFinished() = 0;
};

}  // namespace swfplayer::avm1
