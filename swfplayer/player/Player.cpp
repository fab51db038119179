#include "swfplayer/player/Player.h"

#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/MovieLoader.h"
#include "swfplayer/player/PlayContext.h"
#include "swfplayer/player/Renderer.h"
#include "swfplayer/player/ScriptEngine.h"
#include "swfplayer/player/Timeline.h"
#include "swfplayer/player/VmScripts.h"

namespace swfplayer::player {

PlayerLoad Player::Load(std::span<const uint8_t> file, image::ImageDecoder& decoder,
                        const PlayerOptions& options) {
  MovieLoad load = LoadMovieDefinition(file, decoder, options.ansi);
  if (!load.movie) return {load.error, nullptr};
  return {MovieError::kNone, std::unique_ptr<Player>(new Player(std::move(load.movie), options))};
}

Player::Player(std::unique_ptr<MovieDefinition> movie, const PlayerOptions& options)
    : movie_(std::move(movie)) {
  if (options.engine) {
    scripts_ = options.engine();
  } else if (options.host) {
    scripts_ = MakeVmScripts(*options.host, movie_->header.version, options.ansi,
                             [this] { return root_.get(); });
  }
  context_ = std::make_unique<PlayContext>(*movie_, scripts_.get());
  if (options.host && !options.engine) context_->movieUrl = std::u16string(options.host->MovieUrl());
  root_ = std::make_unique<DisplayObject>(*context_, nullptr, 0, movie_->root);
  // The first frame, with its scripts, before it is first shown.
  context_->BeginTick();
  context_->ClipMade(*root_);
  context_->RunQueuedScripts();
  FinishTick();
}

Player::~Player() {
  root_.reset();
  context_.reset();
}

int Player::CurrentFrame() const { return root_->CurrentFrame(); }

Timeline& Player::Root() { return *root_->Sprite(); }
const Timeline& Player::Root() const { return *root_->Sprite(); }

size_t Player::DisplayObjects() const { return context_->displayObjects; }

void Player::Advance() {
  context_->BeginTick();
  context_->RunClips();
  if (scripts_) {
    scripts_->RunTimers();
    context_->RunQueuedScripts();
  }
  FinishTick();
}

void Player::FinishTick() {
  context_->FreeRemoved();
  if (scripts_) scripts_->CollectGarbage();
}

void Player::Render(render::Canvas& canvas, const Matrix& stageToDevice) const {
  RenderTimeline(canvas, *root_->Sprite(), stageToDevice, ColorTransform{});
}

}  // namespace swfplayer::player
