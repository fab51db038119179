#include "saver/Unit1.h"

#include <exception>

#include "saver/SaverState.h"
#include "settings/Settings.h"

namespace swfsaver {

namespace {

// The saver's view of the settings record: the flag in FitToScreen, the list in MovieList.
class SaverSettingsHolder : public SettingsHolder {
 public:
  SaverSettingsHolder(bool& fitToScreen, std::vector<std::string>& movieList)
      : fitToScreen_(fitToScreen), movieList_(movieList) {}
  bool Expansion() override { return fitToScreen_; }
  void SetExpansion(bool expansion) override { fitToScreen_ = expansion; }
  int32_t MovieCount() override { return static_cast<int32_t>(movieList_.size()); }
  std::string Movie(int32_t index) override { return movieList_.at(index); }
  void ClearMovies() override { movieList_.clear(); }
  void AppendMovie(const std::string& path) override { movieList_.push_back(path); }

 private:
  bool& fitToScreen_;
  std::vector<std::string>& movieList_;
};

}  // namespace

TForm1::TForm1(platform::Platform& platform, TApplication& application)
    : platform_(platform),
      application_(application),
      errorRecord_(platform),
      recorderConnection_(application, errorRecord_) {
  window_ = CreateWindowParts();
  application_.SetEvents(this);
  // The window's creation reports an error of FormCreate and goes on: the window exists and
  // is shown all the same, and its first activation proceeds with what FormCreate got done.
  try {
    FormCreate();
  } catch (const std::exception& error) {
    application_.ShowException(error);
  }
  // Showing the window activates it; the first activation starts playback.
  try {
    window_->Show();
  } catch (const std::exception& error) {
    application_.ShowException(error);
  }
}

std::unique_ptr<platform::SaverWindow> TForm1::CreateWindowParts() {
  try {
    return platform_.application.CreateSaverWindow(*this, true);
  } catch (const std::exception& error) {
    // No Flash control (not registered, or refusing to start): the saver is still a black
    // screen that ends on the first input. Only an error of the window itself escapes.
    application_.ShowException(error);
  }
  flashControlMissing_ = true;
  return platform_.application.CreateSaverWindow(*this, false);
}

TForm1::~TForm1() {
  application_.SetEvents(nullptr);
  // The window goes first, while the handlers it may still call find the form whole.
  window_.reset();
  ClearScreenSaverFlag();  // a window destroyed without being closed ends the saver too
}

void TForm1::FormCreate() {
  FirstActivation = true;
  MouseMoveGrace = kMouseMoveGrace;
  MouseMessageBudget = kMouseMessageBudget;
  window_->SetColor(0);
  window_->SetBounds(0, 0, platform_.system.ScreenWidth(), platform_.system.ScreenHeight());
  MouseAnchorX = -1;
  MouseAnchorY = -1;
  platform_.system.SetScreenSaverRunning(true);
  screenSaverFlagSet_ = true;
  platform_.system.ShowCursor(false);
  MovieList = std::make_unique<std::vector<std::string>>();
  // A settings value that cannot be read is recorded; the saver goes on with what was read
  // before it, and the steps below still hide the taskbar button and drop missing files.
  try {
    LoadSettings();
  } catch (const std::exception& error) {
    application_.ShowException(error);
  }
  if (MuteSound && !flashControlMissing_) window_->ShockwaveFlash1().MuteSound();
  RemoveMissingFiles();
  if (MovieList->empty()) FirstActivation = false;
  window_->AlignPanelToClient();
  platform_.system.HideOwnerWindow();  // no taskbar button
}

void TForm1::FormActivate() {
  // Only the first activation starts playback; later ones (after a dialog, after switching
  // windows) leave the movie alone.
  if (!FirstActivation) return;
  FirstActivation = false;
  if (!CanPlay()) return;
  // The entry may have vanished since FormCreate; no later entry is tried then.
  if (!platform_.kernel.FileExists(MovieList->front())) return;
  CurrentIndex = 0;
  window_->SetPanelVisible(true);
  window_->AlignPanelToClient();
  PlayEntry();
}

void TForm1::FormClose() {
  MovieList.reset();  // a second close finds nothing to release
  ClearScreenSaverFlag();
}

void TForm1::ClearScreenSaverFlag() {
  // The system must not go on believing that a saver runs once this one has ended; a window
  // whose FormCreate never set the flag leaves it alone.
  if (!screenSaverFlagSet_) return;
  screenSaverFlagSet_ = false;
  platform_.system.SetScreenSaverRunning(false);
}

void TForm1::LoadSettings() {
  if (MovieList == nullptr) MovieList = std::make_unique<std::vector<std::string>>();
  SaverSettingsHolder holder(FitToScreen, *MovieList);
  swfsaver::LoadSettings(platform_, holder);
  MuteSound = LoadMuteSetting(platform_);
}

void TForm1::RemoveMissingFiles() {
  // From the end, so the indexes still to be visited stay valid.
  for (auto i = static_cast<std::ptrdiff_t>(MovieList->size()) - 1; i >= 0; --i) {
    if (!platform_.kernel.FileExists((*MovieList)[i])) MovieList->erase(MovieList->begin() + i);
  }
}

}  // namespace swfsaver
