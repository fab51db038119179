// An SWF player: loads a movie from the file's bytes, plays its timelines one tick at a time
// with the movie's scripts (PlayContext.h gives the order), and draws the display lists on a
// Canvas. Portable; the control owns one per loaded movie and keeps its play/stop state in
// MoviePlayback.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "swfplayer/avm1/Host.h"
#include "swfplayer/audio/SoundEngine.h"
#include "swfplayer/image/ImageDecoder.h"
#include "swfplayer/movie/TextDecoding.h"
#include "swfplayer/player/Characters.h"
#include "swfplayer/player/MorphShapeCache.h"
#include "swfplayer/player/ScriptSounds.h"
#include "swfplayer/player/SoundScheduler.h"
#include "swfplayer/render/Canvas.h"
#include "swfplayer/text/DeviceFonts.h"

namespace swfplayer::player {

class DisplayObject;
class PlayContext;
class ScriptEngine;
class Timeline;

class Player;

struct PlayerLoad {
  MovieError error = MovieError::kNone;
  std::unique_ptr<Player> player;  // set exactly when error is kNone
  bool ok() const { return error == MovieError::kNone; }
};

struct PlayerOptions {
  // Decodes the strings of movies before SWF 6 (the system's ANSI code page); without one each
  // byte is taken as one character.
  const AnsiDecoder* ansi = nullptr;
  // The system's fonts for text in device fonts (must outlive the player); without them such
  // text is not drawn.
  text::FontSource* fonts = nullptr;
  // Where scripts trace, their clocks and the facts of the machine (the player keeps it as long
  // as it lives); without a host the movie's scripts do not run.
  std::shared_ptr<avm1::Host> host = nullptr;
  // Decodes the MP3 sounds while they play; must outlive the player and its sound engine.
  // Without it MP3 sounds are silent.
  audio::Mp3DecoderSource* mp3 = nullptr;
  // Keeps the file's bytes valid as long as it lives (a mapped file): an uncompressed movie's
  // sound then plays from the file, so the sound costs no memory of its own.
  std::shared_ptr<const void> keeper = nullptr;
  // Tests: a script engine of their own in place of the interpreter (the host is then unused).
  std::function<std::unique_ptr<ScriptEngine>()> engine = nullptr;
};

class Player {
 public:
  // The decoder is used while loading only (for the JPEG, PNG and GIF data of bitmap tags).
  // The first frame is entered, and its scripts run, before Load returns.
  static PlayerLoad Load(std::span<const uint8_t> file, image::ImageDecoder& decoder,
                         const PlayerOptions& options = {});

  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;
  ~Player();

  // The frame size in twips, the 8.8 rate, the header's frame count, the version and the first
  // SetBackgroundColor.
  const SwfMovie& Header() const { return movie_->header; }
  int TotalFrames() const { return movie_->header.frameCount; }
  // The root's frame on screen, from 0.
  int CurrentFrame() const;

  // One tick (PlayContext.h): the clips' frames and events, the queued scripts, timers.
  void Advance();

  // Draws the display lists, depth by depth, into canvas. stageToDevice maps the stage (the
  // root's coordinates, in twips: the header's frame rectangle) to device pixels. Only the
  // objects are drawn: the background colour is the caller's to paint first.
  void Render(render::Canvas& canvas, const Matrix& stageToDevice) const;

  DisplayObject& RootClip() { return *root_; }
  Timeline& Root();
  const Timeline& Root() const;
  const Dictionary& Characters() const { return movie_->dictionary; }
  size_t DisplayObjects() const;

  // The movie's sound: what the system's output mixes (SoundEngine::Mix, from any thread; it
  // may outlive the player), and what scripts start and stop sounds through.
  const std::shared_ptr<audio::SoundEngine>& Sound() const { return sound_; }
  const SoundScheduler& SoundSchedule() const { return *scheduler_; }
  // How many frames the root's stream sound is ahead of the root's frame (negative: behind);
  // nothing while the root plays no stream. A host that falls behind catches up by playing
  // frames without drawing them.
  std::optional<double> StreamLead() const;

 private:
  Player(std::unique_ptr<MovieDefinition> movie, const PlayerOptions& options);
  void FinishTick();

  // Destroyed in reverse: the clips before the play state, both before the script engine
  // that holds references to them.
  std::unique_ptr<MovieDefinition> movie_;
  text::DeviceFonts deviceFonts_;
  std::shared_ptr<audio::SoundEngine> sound_;
  std::unique_ptr<SoundScheduler> scheduler_;
  std::unique_ptr<ScriptSounds> scriptSounds_;  // before scripts_: the scripts' engine uses it
  std::shared_ptr<avm1::Host> host_;
  std::unique_ptr<ScriptEngine> scripts_;
  std::unique_ptr<PlayContext> context_;
  std::unique_ptr<DisplayObject> root_;
  // Drawing keeps the shapes of tweens at rest, so that their paths stay the same objects.
  mutable MorphShapeCache morphs_;
};

}  // namespace swfplayer::player
