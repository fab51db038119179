#include "swfplayer/player/Player.h"

#include "swfplayer/player/FrameActions.h"
#include "swfplayer/player/Limits.h"
#include "swfplayer/player/MovieLoader.h"
#include "swfplayer/player/Renderer.h"

namespace swfplayer::player {

PlayerLoad Player::Load(std::span<const uint8_t> file, image::ImageDecoder& decoder,
                        audio::Mp3DecoderSource* mp3, std::shared_ptr<const void> keeper,
                        PlayerText text) {
  MovieLoad load = LoadMovieDefinition(file, decoder, text.ansi ? *text.ansi : Latin1Ansi(), std::move(keeper));
  if (!load.movie) return {load.error, nullptr};
  return {MovieError::kNone, std::unique_ptr<Player>(new Player(std::move(load.movie), mp3, text.fonts))};
}

Player::Player(std::unique_ptr<MovieDefinition> movie, audio::Mp3DecoderSource* mp3, text::FontSource* fonts)
    : movie_(std::move(movie)),
      deviceFonts_(fonts),
      sound_(std::make_shared<audio::SoundEngine>(mp3)),
      scheduler_(std::make_unique<SoundScheduler>(movie_->sounds, *sound_)),
      context_(std::make_unique<PlayContext>(movie_->dictionary)) {
  for (const auto& [id, sound] : movie_->sounds.events) sound_->DefineSound(id, sound);
  context_->sound = scheduler_.get();
  context_->deviceFonts = &deviceFonts_;
  context_->embeddedFonts = &movie_->fonts;
  // The first frame's actions run before it is first shown, as with every later frame.
  StartTick();
  root_ = std::make_unique<Timeline>(movie_->root, *context_, nullptr);
  RunDueActions(*root_, *context_, Header().version >= 7);
  scheduler_->EndTick(*context_);
}

void Player::StartTick() {
  context_->tagBudget = kMaxTagsPerTick;
  context_->actionBudget = kMaxActionsPerTick;
}

Player::~Player() {
  root_.reset();  // the timelines refer to the context and the definitions
  // The output may hold the engine a little longer; nothing of this movie plays on.
  sound_->StopAll();
}

void Player::Advance() {
  StartTick();
  root_->Step();
  RunDueActions(*root_, *context_, Header().version >= 7);
  scheduler_->EndTick(*context_);
}

void Player::Render(render::Canvas& canvas, const Matrix& stageToDevice) const {
  RenderTimeline(canvas, *root_, stageToDevice, ColorTransform{}, &morphs_);
  morphs_.EndFrame();
}

}  // namespace swfplayer::player
