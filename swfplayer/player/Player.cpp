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
  MovieLoad load = LoadMovieDefinition(file, decoder, options.ansi, options.keeper);
  if (!load.movie) return {load.error, nullptr};
  return {MovieError::kNone, std::unique_ptr<Player>(new Player(std::move(load.movie), options))};
}

Player::Player(std::unique_ptr<MovieDefinition> movie, const PlayerOptions& options)
    : movie_(std::move(movie)),
      deviceFonts_(options.fonts),
      sound_(std::make_shared<audio::SoundEngine>(options.mp3)),
      scheduler_(std::make_unique<SoundScheduler>(movie_->sounds, *sound_)),
      host_(options.host) {
  for (const auto& [id, sound] : movie_->sounds.events) sound_->DefineSound(id, sound);
  if (options.engine) {
    scripts_ = options.engine();
  } else if (host_) {
    scriptSounds_ = std::make_unique<ScriptSounds>(*movie_, *sound_);
    scripts_ = MakeVmScripts(*host_, movie_->header.version, movie_->useNetwork, scriptSounds_.get(), options.ansi,
                             [this] { return root_.get(); }, options.fonts);
  }
  context_ = std::make_unique<PlayContext>(*movie_, scripts_.get());
  context_->sound = scheduler_.get();
  context_->deviceFonts = &deviceFonts_;
  context_->embeddedFonts = &movie_->fonts;
  if (host_ && !options.engine) context_->movieUrl = std::u16string(host_->MovieUrl());
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
  // The output may hold the engine a little longer; nothing of this movie plays on.
  sound_->StopAll();
}

int Player::CurrentFrame() const { return root_->CurrentFrame(); }

Timeline& Player::Root() { return *root_->Sprite(); }
const Timeline& Player::Root() const { return *root_->Sprite(); }

size_t Player::DisplayObjects() const { return context_->displayObjects - 1; }  // the root is on no list

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
  context_->SyncTextFields();
  scheduler_->EndTick();
  context_->FreeRemoved();
  if (scripts_) scripts_->CollectGarbage();
}

std::optional<double> Player::StreamLead() const { return scheduler_->StreamLead(*root_->Sprite()); }

void Player::Render(render::Canvas& canvas, const Matrix& stageToDevice) const {
  RenderTimeline(canvas, *root_->Sprite(), stageToDevice, ColorTransform{}, &morphs_);
  morphs_.EndFrame();
}

}  // namespace swfplayer::player
