// The stand-in control's SWF player: loads a movie from the file's bytes, steps its timelines
// one frame per tick, runs the frame actions that steer them, and draws the display lists on
// a Canvas. Portable; the control owns one
// per loaded movie and keeps its play/stop state in MoviePlayback.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "swfplayer/audio/SoundEngine.h"
#include "swfplayer/image/ImageDecoder.h"
#include "swfplayer/player/Characters.h"
#include "swfplayer/player/SoundScheduler.h"
#include "swfplayer/player/MorphShapeCache.h"
#include "swfplayer/player/Timeline.h"
#include "swfplayer/render/Canvas.h"
#include "swfplayer/text/DeviceFonts.h"

namespace swfplayer::player {

class Player;

// What text needs from the system: its device fonts and its ANSI code page (for the strings
// of movies before SWF 6). Both must outlive the player; without fonts device text is not
// drawn, without a code page bytes are read as Latin-1.
struct PlayerText {
  text::FontSource* fonts = nullptr;
  const AnsiDecoder* ansi = nullptr;
};

struct PlayerLoad {
  MovieError error = MovieError::kNone;
  std::unique_ptr<Player> player;  // set exactly when error is kNone
  bool ok() const { return error == MovieError::kNone; }
};

class Player {
 public:
  // The decoder is used while loading only (for the JPEG, PNG and GIF data of bitmap tags).
  // mp3 decodes the MP3 sounds while they play and must outlive the player and its sound
  // engine; without it MP3 sounds are silent. keeper, when given, keeps file valid as long as
  // it lives (a mapped file): an uncompressed movie's sound then plays from the file, so the
  // sound costs no memory of its own.
  static PlayerLoad Load(std::span<const uint8_t> file, image::ImageDecoder& decoder,
                         audio::Mp3DecoderSource* mp3 = nullptr,
                         std::shared_ptr<const void> keeper = nullptr, PlayerText text = {});

  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;
  ~Player();

  // The frame size in twips, the 8.8 rate, the header's frame count, the version and the first
  // SetBackgroundColor.
  const SwfMovie& Header() const { return movie_->header; }
  int TotalFrames() const { return movie_->header.frameCount; }
  // The root's frame on screen, from 0.
  int CurrentFrame() const { return root_->CurrentFrame(); }

  // One tick: every playing timeline goes to its next frame (to 0 after the last), then the
  // frame actions that became due run (FrameActions.h). A stopped root stays on its frame.
  void Advance();

  // Draws the display lists, depth by depth, into canvas. stageToDevice maps the stage (the
  // root's coordinates, in twips: the header's frame rectangle) to device pixels. Only the
  // objects are drawn: the background colour is the caller's to paint first.
  void Render(render::Canvas& canvas, const Matrix& stageToDevice) const;

  Timeline& Root() { return *root_; }
  const Timeline& Root() const { return *root_; }
  const Dictionary& Characters() const { return movie_->dictionary; }
  size_t DisplayObjects() const { return context_->displayObjects; }

  // The movie's sound: what the system's output mixes (SoundEngine::Mix, from any thread; it
  // may outlive the player), and what scripts start and stop sounds through.
  const std::shared_ptr<audio::SoundEngine>& Sound() const { return sound_; }
  const SoundScheduler& SoundSchedule() const { return *scheduler_; }
  // How many frames the root's stream sound is ahead of the root's frame (negative: behind);
  // nothing while the root plays no stream. A host that falls behind catches up by playing
  // frames without drawing them.
  std::optional<double> StreamLead() const { return scheduler_->StreamLead(*root_); }

 private:
  Player(std::unique_ptr<MovieDefinition> movie, audio::Mp3DecoderSource* mp3, text::FontSource* fonts);
  void StartTick();

  std::unique_ptr<MovieDefinition> movie_;
  text::DeviceFonts deviceFonts_;
  std::shared_ptr<audio::SoundEngine> sound_;
  std::unique_ptr<SoundScheduler> scheduler_;
  std::unique_ptr<PlayContext> context_;
  std::unique_ptr<Timeline> root_;
  // Drawing keeps the shapes of tweens at rest, so that their paths stay the same objects.
  mutable MorphShapeCache morphs_;
};

}  // namespace swfplayer::player
