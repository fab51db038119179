// A movie's sound: every event sound and stream that plays, mixed into one 44.1 kHz stereo
// stream of 16-bit samples, clipped (never wrapped) where the sum is too loud.
//
// The timeline starts and stops sounds through it (player/SoundScheduler.h), the system's
// output pulls the mix from a thread of its own, and scripts reach it through the calls marked
// "scripts" below (ActionScript's Sound object, stopAllSounds, the StopSounds action). Every
// call takes the engine's lock, so any thread may make it; the output's Mix holds it for one
// buffer's mixing and nothing else.
//
// Bounds: kMaxVoices sounds at once (a start past it is dropped); nothing is decoded ahead
// but the piece each voice plays next (a few thousand samples), so a movie's decoded sound
// is bounded by the voices, never by the length of its sounds.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "swfplayer/audio/SoundData.h"
#include "swfplayer/audio/Voice.h"

namespace swfplayer::audio {

inline constexpr size_t kMaxVoices = 32;
// A voice id; 0 is none.
using VoiceId = uint64_t;
// Who a sound belongs to (a timeline's or a clip's serial), for transforms and stops; the
// owner 0 is the whole movie, whose transform applies to every sound.
using SoundOwner = uint64_t;
inline constexpr SoundOwner kMovieOwner = 0;

struct StartRequest {
  uint16_t soundId = 0;
  format::SoundInfo info;
  SoundOwner owner = kMovieOwner;
};

class SoundEngine {
 public:
  // mp3 decodes MP3 sounds (null: they are silent); it must outlive the engine.
  explicit SoundEngine(Mp3DecoderSource* mp3);

  void DefineSound(uint16_t id, EventSound sound);

  // --- event sounds (the timeline's StartSound; scripts: Sound.start, Sound.stop) ---
  // Starts an instance by the request's sound info: a sync stop stops every instance of the
  // sound instead, a no-multiple start does nothing while one plays. 0 when nothing started
  // (an unknown or unplayable sound, a stop, a full mixer).
  VoiceId Start(const StartRequest& request);
  // scripts: Sound.start(offset, loops): from offsetSeconds into the sound.
  VoiceId StartAt(uint16_t soundId, double offsetSeconds, uint16_t loops, SoundOwner owner);
  void StopSound(uint16_t soundId);
  void StopVoice(VoiceId voice);
  void StopOwner(SoundOwner owner);
  // scripts: stopAllSounds and the StopSounds action: every event sound and stream.
  void StopAll();

  // --- what scripts read ---
  bool Playing(VoiceId voice) const;
  // Sound.position: milliseconds into the sound's current loop; 0 for a voice that ended.
  uint32_t PositionMs(VoiceId voice) const;
  // Sound.duration: the declared length in milliseconds; nothing for an unknown sound.
  std::optional<uint32_t> DurationMs(uint16_t soundId) const;
  // The voices that ended by playing out since the last call (Sound.onSoundComplete), oldest
  // first; stopped voices are not among them. At most kMaxFinished are kept.
  std::vector<VoiceId> TakeFinished();
  static constexpr size_t kMaxFinished = 1024;

  // --- transforms (scripts: setVolume, setPan, setTransform and their getters) ---
  void SetTransform(SoundOwner owner, const SoundTransform& transform);
  SoundTransform Transform(SoundOwner owner) const;

  // --- streams: one per timeline, by the timeline's serial ---
  // Plays the stream from frame (dropping what the key played before).
  void PlayStream(uint64_t key, std::shared_ptr<const StreamSound> stream, int frame, SoundOwner owner);
  void StopStream(uint64_t key);
  bool StreamPlaying(uint64_t key) const;
  // The frame the stream's sound has reached: its start frame plus the time it has played
  // times the frame rate; nothing when the key plays no stream.
  std::optional<double> StreamFrame(uint64_t key) const;

  // --- output ---
  // Mixes the next left/right pairs; silence when muted (time goes on all the same).
  void Mix(std::span<int16_t> stereo);
  void SetMuted(bool muted);
  size_t VoiceCount() const;

 private:
  struct Active {
    VoiceId id = 0;
    uint16_t soundId = 0;      // event sounds
    uint64_t streamKey = 0;    // streams
    int startFrame = 0;
    double framesPerSecond = 0;
    SoundOwner owner = kMovieOwner;
    uint32_t firstMs = 0, loopMs = 0;  // event sounds: where a loop starts and how long it is
    std::unique_ptr<Voice> voice;
  };

  VoiceId Add(Active playing);
  const Active* Find(VoiceId voice) const;
  void Finish(VoiceId voice);
  Gains GainsOf(SoundOwner owner) const;

  mutable std::mutex mutex_;
  Mp3DecoderSource* mp3_;
  std::map<uint16_t, EventSound> sounds_;
  std::vector<Active> playing_;
  std::map<SoundOwner, SoundTransform> transforms_;
  std::deque<VoiceId> finished_;
  std::vector<float> mix_;
  VoiceId nextId_ = 1;
  bool muted_ = false;
};

}  // namespace swfplayer::audio
