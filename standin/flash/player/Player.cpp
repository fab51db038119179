#include "standin/flash/player/Player.h"

#include "standin/flash/player/FrameActions.h"
#include "standin/flash/player/Limits.h"
#include "standin/flash/player/MovieLoader.h"
#include "standin/flash/player/Renderer.h"

namespace swfsaver::flash::player {

PlayerLoad Player::Load(std::span<const uint8_t> file, image::ImageDecoder& decoder) {
  MovieLoad load = LoadMovieDefinition(file, decoder);
  if (!load.movie) return {load.error, nullptr};
  return {MovieError::kNone, std::unique_ptr<Player>(new Player(std::move(load.movie)))};
}

Player::Player(std::unique_ptr<MovieDefinition> movie)
    : movie_(std::move(movie)), context_(std::make_unique<PlayContext>(movie_->dictionary)) {
  header_.frameSize = movie_->header.frameSize;
  header_.frameRate = movie_->header.frameRate;
  header_.frameCount = movie_->header.frameCount;
  header_.background = movie_->background;
  header_.version = movie_->header.version;
  // The first frame's actions run before it is first shown, as with every later frame.
  StartTick();
  root_ = std::make_unique<Timeline>(movie_->root, *context_, nullptr);
  RunDueActions(*root_, *context_, header_.version >= 7);
}

void Player::StartTick() {
  context_->tagBudget = kMaxTagsPerTick;
  context_->actionBudget = kMaxActionsPerTick;
}

Player::~Player() {
  root_.reset();  // the timelines refer to the context and the definitions
}

void Player::Advance() {
  StartTick();
  root_->Step();
  RunDueActions(*root_, *context_, header_.version >= 7);
}

void Player::Render(render::Canvas& canvas, const render::Matrix& stageToDevice) const {
  RenderTimeline(canvas, *root_, stageToDevice, render::ColorTransform{});
}

}  // namespace swfsaver::flash::player
