// The Flash control in memory: it keeps the loaded movie with its frame count and the frame
// on screen (the test advances it), reports 0 and 0 while no movie is loaded, fails on demand
// with EOleSysError, and records every call in order.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/FlashControl.h"

namespace swfsaver::fakes {

class FakeFlashControl : public platform::FlashControl {
 public:
  FakeFlashControl();

  void SetBackgroundColor(int32_t color) override;
  void SetMovie(const std::string& ansiPath) override;
  void Play() override;
  int32_t TotalFrames() override;
  int32_t CurrentFrame() override;
  void SetLeft(int32_t left) override;
  void SetTop(int32_t top) override;
  void SetWidth(int32_t width) override;
  void SetHeight(int32_t height) override;
  void AlignToClient() override;
  void MuteSound() override;

  // --- steering ---
  // Frames of the movie at a path; a path not listed has defaultFrames.
  std::map<std::string, int32_t> framesOf;
  int32_t defaultFrames = 10;
  // Moves the playing movie on by count frames, looping as the control does.
  void Advance(int32_t count = 1);
  // Puts the playing movie on its last frame.
  void GoToLastFrame();
  // Calls by name ("BackgroundColor", "Movie", "Play", "TotalFrames", "CurrentFrame", "Left",
  // ...) that fail with this HRESULT.
  void FailCalls(const std::string& name, int32_t hresult) { failing_[name] = hresult; }
  void StopFailing() { failing_.clear(); }

  // --- state the test reads ---
  // Every call in order: "BackgroundColor 0", "Movie <path>", "Play", "TotalFrames",
  // "CurrentFrame", "Left 237", "Top 184", "Width 550", "Height 400", "AlignToClient". Room
  // for many calls is reserved, and the names of the two polls fit a string's own storage,
  // so recording a poll allocates nothing.
  std::vector<std::string> calls;
  bool loaded = false;
  std::string movie;  // the loaded movie's path
  bool playing = false;
  int32_t totalFrames = 0;
  int32_t currentFrame = 0;
  int32_t backgroundColor = -1;
  int32_t left = 24, top = 8, width = 193, height = 169;  // design bounds
  bool alignedToClient = false;
  int inputMessages = 0;  // mouse messages that reached the movie

 private:
  void Call(const std::string& name);
  void Call(const std::string& name, const std::string& argument);
  void FailIfAsked(const std::string& name);

  std::map<std::string, int32_t> failing_;
};

}  // namespace swfsaver::fakes
