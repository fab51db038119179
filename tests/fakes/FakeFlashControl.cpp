#include "tests/fakes/FakeFlashControl.h"

#include "platform/Exceptions.h"

namespace swfsaver::fakes {

FakeFlashControl::FakeFlashControl() { calls.reserve(4096); }

void FakeFlashControl::FailIfAsked(const std::string& name) {
  auto it = failing_.find(name);
  if (it != failing_.end()) throw EOleSysError("Flash control call failed: " + name, it->second);
}

void FakeFlashControl::Call(const std::string& name) {
  calls.push_back(name);
  FailIfAsked(name);
}

void FakeFlashControl::Call(const std::string& name, const std::string& argument) {
  calls.push_back(name + " " + argument);
  FailIfAsked(name);
}

void FakeFlashControl::SetBackgroundColor(int32_t color) {
  Call("BackgroundColor", std::to_string(color));
  backgroundColor = color;
}

void FakeFlashControl::SetMovie(const std::string& ansiPath) {
  Call("Movie", ansiPath);
  // The control drops what it shows and loads the movie from its first frame, also when the
  // path is the one already loaded.
  auto it = framesOf.find(ansiPath);
  loaded = true;
  movie = ansiPath;
  totalFrames = it != framesOf.end() ? it->second : defaultFrames;
  currentFrame = 0;
}

void FakeFlashControl::Play() {
  Call("Play");
  if (loaded) playing = true;
}

int32_t FakeFlashControl::TotalFrames() {
  Call("TotalFrames");
  return loaded ? totalFrames : 0;
}

int32_t FakeFlashControl::CurrentFrame() {
  Call("CurrentFrame");
  return loaded ? currentFrame : 0;
}

void FakeFlashControl::SetLeft(int32_t value) {
  Call("Left", std::to_string(value));
  left = value;
}

void FakeFlashControl::SetTop(int32_t value) {
  Call("Top", std::to_string(value));
  top = value;
}

void FakeFlashControl::SetWidth(int32_t value) {
  Call("Width", std::to_string(value));
  width = value;
}

void FakeFlashControl::SetHeight(int32_t value) {
  Call("Height", std::to_string(value));
  height = value;
}

// Never raises, as the real one never does.
void FakeFlashControl::MuteSound() { calls.push_back("MuteSound"); }

void FakeFlashControl::AlignToClient() {
  Call("AlignToClient");
  alignedToClient = true;
}

void FakeFlashControl::Advance(int32_t count) {
  if (!playing || totalFrames <= 0) return;
  currentFrame = static_cast<int32_t>((static_cast<int64_t>(currentFrame) + count) % totalFrames);
}

void FakeFlashControl::GoToLastFrame() {
  if (playing && totalFrames > 0) currentFrame = totalFrames - 1;
}

}  // namespace swfsaver::fakes
