#include "swfplayer/audio/SoundEngine.h"

#include <algorithm>
#include <cmath>

namespace swfplayer::audio {

SoundEngine::SoundEngine(Mp3DecoderSource* mp3) : mp3_(mp3) {}

void SoundEngine::DefineSound(uint16_t id, EventSound sound) {
  std::lock_guard lock(mutex_);
  sounds_.insert_or_assign(id, std::move(sound));
}

VoiceId SoundEngine::Add(Active playing) {
  if (playing_.size() >= kMaxVoices) return 0;
  playing.id = nextId_++;
  playing_.push_back(std::move(playing));
  return playing_.back().id;
}

VoiceId SoundEngine::Start(const StartRequest& request) {
  std::lock_guard lock(mutex_);
  const auto found = sounds_.find(request.soundId);
  if (request.info.syncStop) {
    std::erase_if(playing_, [&](const Active& p) { return p.streamKey == 0 && p.soundId == request.soundId; });
    return 0;
  }
  if (found == sounds_.end()) return 0;
  if (request.info.syncNoMultiple &&
      std::any_of(playing_.begin(), playing_.end(),
                  [&](const Active& p) { return p.streamKey == 0 && p.soundId == request.soundId; })) {
    return 0;
  }
  const EventSound& sound = found->second;
  auto source = std::make_unique<EventSource>(sound, request.info.inPoint.value_or(0),
                                              request.info.outPoint.value_or(0), request.info.loops, mp3_);
  const uint32_t rate2 = std::max<uint32_t>(sound.format.RateTimes2(), 1);
  Active playing;
  playing.soundId = request.soundId;
  playing.owner = request.owner;
  playing.firstMs = static_cast<uint32_t>((uint64_t{source->FirstFrame()} * 2000 + rate2 / 2) / rate2);
  playing.loopMs = static_cast<uint32_t>((uint64_t{source->EndFrame() - source->FirstFrame()} * 2000 + rate2 / 2) / rate2);
  playing.voice = std::make_unique<Voice>(std::move(source), request.info.envelope);
  return Add(std::move(playing));
}

VoiceId SoundEngine::StartAt(uint16_t soundId, double offsetSeconds, uint16_t loops, SoundOwner owner) {
  StartRequest request;
  request.soundId = soundId;
  request.owner = owner;
  request.info.loops = std::max<uint16_t>(loops, 1);
  if (std::isfinite(offsetSeconds) && offsetSeconds > 0) {
    request.info.inPoint = static_cast<uint32_t>(std::min(offsetSeconds * kOutputRate, 4.0e9));
  }
  return Start(request);
}

void SoundEngine::StopSound(uint16_t soundId) {
  std::lock_guard lock(mutex_);
  std::erase_if(playing_, [&](const Active& p) { return p.streamKey == 0 && p.soundId == soundId; });
}

void SoundEngine::StopVoice(VoiceId voice) {
  std::lock_guard lock(mutex_);
  std::erase_if(playing_, [&](const Active& p) { return p.id == voice; });
}

void SoundEngine::StopOwner(SoundOwner owner) {
  std::lock_guard lock(mutex_);
  std::erase_if(playing_, [&](const Active& p) { return p.owner == owner; });
}

void SoundEngine::StopAll() {
  std::lock_guard lock(mutex_);
  playing_.clear();
}

const SoundEngine::Active* SoundEngine::Find(VoiceId voice) const {
  const auto found = std::find_if(playing_.begin(), playing_.end(), [&](const Active& p) { return p.id == voice; });
  return found == playing_.end() ? nullptr : &*found;
}

bool SoundEngine::Playing(VoiceId voice) const {
  std::lock_guard lock(mutex_);
  return Find(voice) != nullptr;
}

uint32_t SoundEngine::PositionMs(VoiceId voice) const {
  std::lock_guard lock(mutex_);
  const Active* playing = Find(voice);
  if (!playing || playing->streamKey != 0) return 0;
  const uint64_t elapsed = (playing->voice->Produced() * 1000 + kOutputRate / 2) / kOutputRate;
  return playing->firstMs + static_cast<uint32_t>(playing->loopMs ? elapsed % playing->loopMs : 0);
}

std::optional<uint32_t> SoundEngine::DurationMs(uint16_t soundId) const {
  std::lock_guard lock(mutex_);
  const auto found = sounds_.find(soundId);
  if (found == sounds_.end()) return std::nullopt;
  return found->second.DurationMs();
}

std::vector<VoiceId> SoundEngine::TakeFinished() {
  std::lock_guard lock(mutex_);
  std::vector<VoiceId> finished(finished_.begin(), finished_.end());
  finished_.clear();
  return finished;
}

void SoundEngine::Finish(VoiceId voice) {
  if (finished_.size() == kMaxFinished) finished_.pop_front();
  finished_.push_back(voice);
}

void SoundEngine::SetTransform(SoundOwner owner, const SoundTransform& transform) {
  std::lock_guard lock(mutex_);
  transforms_.insert_or_assign(owner, transform);
}

SoundTransform SoundEngine::Transform(SoundOwner owner) const {
  std::lock_guard lock(mutex_);
  const auto found = transforms_.find(owner);
  return found == transforms_.end() ? SoundTransform{} : found->second;
}

Gains SoundEngine::GainsOf(SoundOwner owner) const {
  const auto movie = transforms_.find(kMovieOwner);
  const Gains outer = movie == transforms_.end() ? Gains{} : Gains::Of(movie->second);
  if (owner == kMovieOwner) return outer;
  const auto own = transforms_.find(owner);
  return own == transforms_.end() ? outer : Gains::Of(own->second).Then(outer);
}

void SoundEngine::PlayStream(uint64_t key, std::shared_ptr<const StreamSound> stream, int frame,
                             SoundOwner owner) {
  std::lock_guard lock(mutex_);
  std::erase_if(playing_, [&](const Active& p) { return p.streamKey == key; });
  if (!stream || key == 0) return;
  Active playing;
  playing.streamKey = key;
  playing.startFrame = frame;
  playing.framesPerSecond = stream->framesPerSecond;
  playing.owner = owner;
  playing.voice = std::make_unique<Voice>(std::make_unique<StreamSource>(stream, frame, mp3_),
                                          std::vector<format::EnvelopePoint>{});
  Add(std::move(playing));
}

void SoundEngine::StopStream(uint64_t key) {
  std::lock_guard lock(mutex_);
  std::erase_if(playing_, [&](const Active& p) { return p.streamKey == key; });
}

bool SoundEngine::StreamPlaying(uint64_t key) const {
  std::lock_guard lock(mutex_);
  return std::any_of(playing_.begin(), playing_.end(), [&](const Active& p) { return p.streamKey == key; });
}

std::optional<double> SoundEngine::StreamFrame(uint64_t key) const {
  std::lock_guard lock(mutex_);
  for (const Active& p : playing_) {
    if (p.streamKey != key) continue;
    return p.startFrame + static_cast<double>(p.voice->Produced()) * p.framesPerSecond / kOutputRate;
  }
  return std::nullopt;
}

void SoundEngine::Mix(std::span<int16_t> stereo) {
  std::lock_guard lock(mutex_);
  mix_.assign(stereo.size(), 0.0f);
  for (auto it = playing_.begin(); it != playing_.end();) {
    if (it->voice->MixInto(mix_, GainsOf(it->owner))) {
      ++it;
      continue;
    }
    if (it->streamKey == 0) Finish(it->id);
    it = playing_.erase(it);
  }
  for (size_t i = 0; i < stereo.size(); ++i) {
    stereo[i] = muted_ ? 0 : static_cast<int16_t>(std::lrint(std::clamp(mix_[i], -32768.0f, 32767.0f)));
  }
}

void SoundEngine::SetMuted(bool muted) {
  std::lock_guard lock(mutex_);
  muted_ = muted;
}

size_t SoundEngine::VoiceCount() const {
  std::lock_guard lock(mutex_);
  return playing_.size();
}

}  // namespace swfplayer::audio
