#include "standin/flash/player/Player.h"

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
    : movie_(std::move(movie)),
      context_(std::make_unique<PlayContext>(PlayContext{movie_->dictionary, 0, 1, kMaxTagsPerTick})) {
  header_.frameSize = movie_->header.frameSize;
  header_.frameRate = movie_->header.frameRate;
  header_.frameCount = movie_->header.frameCount;
  header_.background = movie_->background;
  header_.version = movie_->header.version;
  root_ = std::make_unique<Timeline>(movie_->root, *context_, 0);
}

Player::~Player() {
  root_.reset();  // the timelines refer to the context and the definitions
}

void Player::Advance() {
  context_->tagBudget = kMaxTagsPerTick;
  root_->Step();
}

void Player::Render(render::Canvas& canvas, const render::Matrix& stageToDevice) const {
  RenderTimeline(canvas, *root_, stageToDevice, render::ColorTransform{});
}

}  // namespace swfsaver::flash::player
