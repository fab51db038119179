// The saver window TForm1: a black borderless window over the primary display that plays the
// stored playlist through the Flash control, one movie after the other without end, and
// closes on user activity after the screen-saver password step. It never stops behind a
// message box: entries it cannot read are passed over, and its errors are recorded
// (saver/ErrorRecord.h) instead of shown.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/MainForm.h"
#include "platform/Platform.h"
#include "platform/SaverWindow.h"
#include "saver/ErrorRecord.h"

namespace swfsaver {

class TForm1 : public MainForm, public platform::SaverWindowEvents, public ApplicationEvents {
 public:
  // Connects the error record, creates the window's components (without a Flash control that
  // cannot be created, whose error is recorded; an error of the window itself escapes),
  // connects the application events, runs FormCreate (its error is recorded, the window is
  // still created) and shows the window, which activates it.
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
  void TimerRetryTimer() override;

  // --- ApplicationEvents1 ---
  void ApplicationEvents1Idle(bool& done);
  void ApplicationEvents1Message(const platform::Message& message, bool& handled);
  void OnIdle(bool& done) override { ApplicationEvents1Idle(done); }
  void OnMessage(const platform::Message& message, bool& handled) override {
    ApplicationEvents1Message(message, handled);
  }

  // --- operations ---
  void PlayMovie(const std::string& path, bool fit);
  // PlayMovie with the entry at CurrentIndex; an entry that cannot be played is passed over
  // (see Playback.cpp).
  void PlayEntry();
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
  // The settings' Mute value: every movie plays silent.
  bool MuteSound = false;

 private:
  // The window's own mouse-move rule, shared by the window and the panel.
  void MouseMoved(int32_t x, int32_t y);
  // Runs the system's password-change routine with the cursor shown; drops every failure.
  void PasswordStep();
  void ClearScreenSaverFlag();
  bool HasMovies() const { return MovieList != nullptr && !MovieList->empty(); }
  bool CanPlay() const { return !flashControlMissing_ && HasMovies(); }
  std::unique_ptr<platform::SaverWindow> CreateWindowParts();
  // PlayMovie, false when it failed: silently for an unreadable file, recorded otherwise.
  bool TryPlayMovie(const std::string& path);
  void WaitForRetry();

  // Keeps the application's default error report pointed at the record while the form
  // lives, also when its constructor fails.
  class RecorderConnection {
   public:
    RecorderConnection(TApplication& application, ErrorRecorder& recorder)
        : application_(application) {
      application_.SetErrorRecorder(&recorder);
    }
    ~RecorderConnection() { application_.SetErrorRecorder(nullptr); }
    RecorderConnection(const RecorderConnection&) = delete;
    RecorderConnection& operator=(const RecorderConnection&) = delete;

   private:
    TApplication& application_;
  };

  platform::Platform& platform_;
  TApplication& application_;
  SaverErrorRecord errorRecord_;
  RecorderConnection recorderConnection_;
  std::unique_ptr<platform::SaverWindow> window_;
  // FormCreate told the system that a saver runs; the close tells it that none does.
  bool screenSaverFlagSet_ = false;
  // The window was made without the control: nothing can ever play.
  bool flashControlMissing_ = false;
  // Entries that could not be played since the last one that could.
  int32_t entriesFailedInARow_ = 0;
  // The entry at CurrentIndex failed: the next idle step moves on without polling the control.
  bool advancePending_ = false;
  // A whole round failed: the retry timer runs.
  bool waitingForRetry_ = false;
  // Hidden with the control on it when a round failed, shown again when an entry plays.
  bool panelHidden_ = false;
};

}  // namespace swfsaver
