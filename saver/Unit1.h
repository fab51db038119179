// The saver window TForm1: a black borderless window over the primary display that plays the
// stored playlist through the Flash control, one movie after the other without end, and
// closes on user activity after the screen-saver password step.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/MainForm.h"
#include "platform/Platform.h"
#include "platform/SaverWindow.h"

namespace swfsaver {

class TForm1 : public MainForm, public platform::SaverWindowEvents, public ApplicationEvents {
 public:
  // Creates the window's components (an error there escapes), connects the application
  // events, runs FormCreate (its error is reported, the window is still created) and shows
  // the window, which activates it.
  TForm1(platform::Platform& platform, TApplication& application);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // --- window events ---
  void FormCreate();
  void FormActivate() override;
  void FormClose() override;
  void FormKeyDown(uint16_t key, uint32_t shift) override;
  void FormMouseDown(platform::MouseButton button, uint32_t shift, int32_t x, int32_t y) override;
  void FormMouseMove(uint32_t shift, int32_t x, int32_t y) override;
  void Panel1MouseDown(platform::MouseButton button, uint32_t shift, int32_t x, int32_t y) override;
  void Panel1MouseMove(uint32_t shift, int32_t x, int32_t y) override;
  void ButtonCloseClick() override;
  void WMUser1() override;
  void WMUser2() override;

  // --- ApplicationEvents1 ---
  void ApplicationEvents1Idle(bool& done);
  void ApplicationEvents1Message(const platform::Message& message, bool& handled);
  void OnIdle(bool& done) override { ApplicationEvents1Idle(done); }
  void OnMessage(const platform::Message& message, bool& handled) override {
    ApplicationEvents1Message(message, handled);
  }

  // --- operations ---
  void PlayMovie(const std::string& path, bool fit);
  void LoadSettings();
  void RemoveMissingFiles();
  void RequestClose();

  // --- fields ---
  int32_t MouseAnchorX = -1;
  int32_t MouseAnchorY = -1;
  bool FitToScreen = false;
  // The playlist, owned by the window: created by FormCreate, released by FormClose.
  std::unique_ptr<std::vector<std::string>> MovieList;
  int32_t CurrentIndex = 0;
  bool FirstActivation = false;

 private:
  // The window's own mouse-move rule, shared by the window and the panel.
  void MouseMoved(int32_t x, int32_t y);
  // Runs the system's password-change routine with the cursor shown; drops every failure.
  void PasswordStep();
  void ClearScreenSaverFlag();
  bool HasMovies() const { return MovieList != nullptr && !MovieList->empty(); }

  platform::Platform& platform_;
  TApplication& application_;
  std::unique_ptr<platform::SaverWindow> window_;
  // FormCreate told the system that a saver runs; the close tells it that none does.
  bool screenSaverFlagSet_ = false;
};

}  // namespace swfsaver
