// What the timelines tell the sound engine: entering a frame starts the frame's event sounds
// (StartSound, StartSound2) and keeps the timeline's stream in step, a timeline that stops or
// goes stops its stream. A stream is decoded ahead from the timeline's blocks, so its sound
// runs on its own clock: when the timeline enters the frames one after the other the stream
// plays on; a jump (a goto, the loop to the first frame) starts it again at the frame jumped
// to, and a timeline that plays again after a stop starts it where it stands.
#pragma once

#include <cstdint>
#include <optional>
#include <map>

#include "swfplayer/audio/SoundEngine.h"
#include "swfplayer/player/Characters.h"

namespace swfplayer::player {

class Timeline;

class SoundScheduler {
 public:
  SoundScheduler(const MovieSounds& sounds, audio::SoundEngine& engine);

  // jumped: the frame was reached by a jump, or is the timeline's first.
  void FrameEntered(const Timeline& timeline, int frame, bool jumped);
  void TimelineGone(uint64_t serial);
  // After every tick: the streams of timelines that no longer play, or were removed, stop.
  void EndTick();

  // How many frames the timeline's stream sound is ahead of its picture (negative: behind);
  // nothing while it plays no stream.
  std::optional<double> StreamLead(const Timeline& timeline) const;

  // The id a StartSound2 class name or a script's export name stands for.
  std::optional<uint16_t> SoundByName(const std::string& name) const;

 private:
  const MovieSounds& sounds_;
  audio::SoundEngine& engine_;
  // Timelines whose stream the scheduler started, by their clip's serial; each says when it
  // goes (TimelineGone).
  std::map<uint64_t, const Timeline*> streaming_;
};

}  // namespace swfplayer::player
