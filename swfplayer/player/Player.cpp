#include "swfplayer/player/Player.h"

#include "swfplayer/player/FrameActions.h"
#include "swfplayer/player/Limits.h"
#include "swfplayer/player/MovieLoader.h"
#include "swfplayer/player/Renderer.h"

namespace swfplayer::player {

PlayerLoad Player::Load(std::span<const uint8_t> file, image::ImageDecoder& decoder) {
  MovieLoad load = LoadMovieDefinition(file, decoder);
  if (!load.movie) return {load.error, nullptr};
  return {MovieError::kNone, std::unique_ptr<Player>(new Player(std::move(load.movie)))};
}

Player::Player(std::unique_ptr<MovieDefinition> movie)
    : movie_(std::move(movie)), context_(std::make_unique<PlayContext>(movie_->dictionary)) {
  // The first frame's actions run before it is first shown, as with every later frame.
  StartTick();
  root_ = std::make_unique<Timeline>(movie_->root, *context_, nullptr);
  RunDueActions(*root_, *context_, Header().version >= 7);
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
  RunDueActions(*root_, *context_, Header().version >= 7);
}

void Player::Render(render::Canvas& canvas, const Matrix& stageToDevice) const {
  RenderTimeline(canvas, *root_, stageToDevice, ColorTransform{}, &morphs_);
  morphs_.EndFrame();
}

}  // namespace swfplayer::player
