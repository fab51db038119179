// The stand-in control's SWF player: loads a movie from the file's bytes, steps its timelines
// one frame per tick, runs the frame actions that steer them, and draws the display lists on
// a Canvas. Portable; the control owns one
// per loaded movie and keeps its play/stop state in MoviePlayback.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "standin/flash/image/ImageDecoder.h"
#include "standin/flash/player/Characters.h"
#include "standin/flash/player/Timeline.h"
#include "standin/flash/render/Canvas.h"

namespace swfsaver::flash::player {

struct MovieHeader {
  TwipsRect frameSize;
  uint16_t frameRate = 0;   // 8.8 fixed point
  uint16_t frameCount = 0;  // as the header states it
  std::optional<render::Rgba> background;  // the first SetBackgroundColor
  uint8_t version = 0;
};

class Player;

struct PlayerLoad {
  MovieError error = MovieError::kNone;
  std::unique_ptr<Player> player;  // set exactly when error is kNone
  bool ok() const { return error == MovieError::kNone; }
};

class Player {
 public:
  // The decoder is used while loading only (for the JPEG, PNG and GIF data of bitmap tags).
  static PlayerLoad Load(std::span<const uint8_t> file, image::ImageDecoder& decoder);

  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;
  ~Player();

  const MovieHeader& Header() const { return header_; }
  int TotalFrames() const { return header_.frameCount; }
  // The root's frame on screen, from 0.
  int CurrentFrame() const { return root_->CurrentFrame(); }

  // One tick: every playing timeline goes to its next frame (to 0 after the last), then the
  // frame actions that became due run (FrameActions.h). A stopped root stays on its frame.
  void Advance();

  // Draws the display lists, depth by depth, into canvas. stageToDevice maps the stage (the
  // root's coordinates, in twips: the header's frame rectangle) to device pixels. Only the
  // objects are drawn: the background colour is the caller's to paint first.
  void Render(render::Canvas& canvas, const render::Matrix& stageToDevice) const;

  Timeline& Root() { return *root_; }
  const Timeline& Root() const { return *root_; }
  const Dictionary& Characters() const { return movie_->dictionary; }
  size_t DisplayObjects() const { return context_->displayObjects; }

 private:
  explicit Player(std::unique_ptr<MovieDefinition> movie);
  void StartTick();

  std::unique_ptr<MovieDefinition> movie_;
  std::unique_ptr<PlayContext> context_;
  std::unique_ptr<Timeline> root_;
  MovieHeader header_;
};

}  // namespace swfsaver::flash::player
