#include "swfplayer/player/SoundScheduler.h"

#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Timeline.h"

namespace swfplayer::player {

SoundScheduler::SoundScheduler(const MovieSounds& sounds, audio::SoundEngine& engine)
    : sounds_(sounds), engine_(engine) {}

std::optional<uint16_t> SoundScheduler::SoundByName(const std::string& name) const {
  const auto found = sounds_.names.find(name);
  if (found == sounds_.names.end()) return std::nullopt;
  return found->second;
}

void SoundScheduler::FrameEntered(const Timeline& timeline, int frame, bool jumped) {
  const TimelineDefinition& definition = timeline.Definition();
  if (frame >= 0 && static_cast<size_t>(frame) < definition.soundStarts.size()) {
    for (const format::StartSoundTag& start : definition.soundStarts[frame]) {
      audio::StartRequest request;
      request.soundId = start.className.empty() ? start.id : SoundByName(start.className).value_or(0);
      request.info = start.info;
      request.owner = timeline.Owner().Serial();
      engine_.Start(request);
    }
  }
  if (!definition.stream) return;
  const uint64_t key = timeline.Owner().Serial();
  // A stream that played out by itself stays quiet until the timeline jumps.
  const bool stopped = !streaming_.count(key);
  if (jumped || stopped) {
    engine_.PlayStream(key, definition.stream, frame, key);
    streaming_.insert_or_assign(key, &timeline);
  }
}

void SoundScheduler::TimelineGone(uint64_t serial) {
  if (streaming_.erase(serial)) engine_.StopStream(serial);
}

void SoundScheduler::EndTick() {
  for (auto it = streaming_.begin(); it != streaming_.end();) {
    const Timeline& timeline = *it->second;
    if (timeline.Playing() && !timeline.Owner().Removed()) {
      ++it;
      continue;
    }
    engine_.StopStream(it->first);
    it = streaming_.erase(it);
  }
}

std::optional<double> SoundScheduler::StreamLead(const Timeline& timeline) const {
  const auto frame = engine_.StreamFrame(timeline.Owner().Serial());
  if (!frame) return std::nullopt;
  return *frame - timeline.CurrentFrame();
}

}  // namespace swfplayer::player
