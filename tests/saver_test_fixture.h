// A saver run in memory: the fake platform with the user's "Control Panel\Desktop" key and the
// system's MPR.DLL, stored settings, movies with real SWF headers, and the saver window created
// the way the program entry creates it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/RunMode.h"
#include "saver/ErrorRecord.h"
#include "saver/SaverState.h"
#include "saver/Unit1.h"
#include "settings/Settings.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/FakeSaverWindow.h"
#include "tools/SwfWriter.h"

namespace swfsaver::saver_test {

using fakes::FakeSaverWindow;
using fakes::MouseLParam;

using Strings = std::vector<std::string>;

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

inline constexpr const char* kSystemMpr = "C:\\Windows\\system32\\MPR.DLL";
inline constexpr const char* kDesktopKey = "Control Panel\\Desktop";

class SaverFixture : public ::testing::Test {
 protected:
  SaverFixture() {
    // The process-wide state as a fresh saver process has it.
    RunMode = rmSaver;
    MoviePlaying = false;
    MouseMoveGrace = kMouseMoveGrace;
    MouseMessageBudget = kMouseMessageBudget;
    InstallWindow();
    fake.registry.AddKey(kDesktopKey);
    fake.kernel.AddLibrary(kSystemMpr, {"PwdChangePasswordA"});
  }
  ~SaverFixture() override {
    form.reset();
    application.reset();
  }

  // The saver's window; with controlFailure other than 0 its control cannot be created.
  void InstallWindow(int32_t controlFailure = 0) {
    fakes::InstallFakeSaverWindow(
        fake.application, &window,
        [this](FakeSaverWindow& created) { created.flash.framesOf = frames; }, controlFailure);
  }

  std::string OptionKey() {
    return SettingsKeyPath(fake.kernel.moduleFileName, fake.codePage) + "\\OPTION";
  }
  // The saver's error record: the message (as UTF-8) and the time; empty when none.
  std::string RecordedMessage() {
    const auto text = fake.registry.Text(RecordKey(), "Message");
    return text ? fake.codePage.AnsiToUtf8(*text) : "";
  }
  std::string RecordedTime() { return fake.registry.Text(RecordKey(), "Time").value_or(""); }
  std::string RecordKey() {
    return SettingsKeyPath(fake.kernel.moduleFileName, fake.codePage) + "\\" +
           kErrorRecordSection;
  }
  // The list and the flag as the settings dialog stores them.
  void StoreSettings(const std::vector<std::string>& list, bool fitToScreen = false) {
    fake.registry.PutText(OptionKey(), "Expansion", fitToScreen ? "1" : "0");
    fake.registry.PutText(OptionKey(), "ListCount", std::to_string(list.size()));
    for (size_t i = 0; i < list.size(); ++i) {
      fake.registry.PutText(OptionKey(), "List" + std::to_string(i), list[i]);
    }
  }
  // A movie file of the given frame size and length.
  void AddMovie(const std::string& path, uint32_t width = 550, uint32_t height = 400,
                uint16_t frameCount = 3) {
    fake.kernel.AddFile(
        path,
        tools::WriteSwf({.widthPixels = width, .heightPixels = height, .frameCount = frameCount}));
    frames[path] = frameCount;
  }
  // A file too short to hold the frame-size rectangle.
  void AddShortFile(const std::string& path) {
    fake.kernel.AddFile(path, std::vector<uint8_t>(24, 0x46));
  }
  // A movie that exists but cannot be opened: another process holds it for writing.
  void AddLockedMovie(const std::string& path) {
    AddMovie(path);
    fake.kernel.LockForWriting(path);
  }
  // A zlib-compressed movie whose compressed data is damaged from its first byte.
  void AddDamagedCompressedMovie(const std::string& path) {
    std::vector<uint8_t> bytes{'C', 'W', 'S', 10, 0x40, 0, 0, 0};
    bytes.resize(64, 0xFF);
    fake.kernel.AddFile(path, bytes);
  }

  // Creates the saver window as the program entry does in saver mode.
  void Start() {
    application = std::make_unique<TApplication>(fake.platform);
    form = std::make_unique<TForm1>(fake.platform, *application);
  }

  // The control's frame timer fires count times; after each frame the loop empties the queue
  // and runs the idle step.
  void Frames(int count) {
    for (int i = 0; i < count; ++i) {
      fake.application.Post({window->FlashHandle(), fakes::kWmTimer});
      fake.application.RunUntilIdle();
    }
  }
  // Plays until the current movie has shown its last frame and the idle step moved on.
  void PlayToEnd() { Frames(window->flash.totalFrames - 1 - window->flash.currentFrame); }

  void Post(std::uintptr_t target, uint32_t message, int32_t x = 0, int32_t y = 0,
            std::uintptr_t wParam = 0) {
    fake.application.Post({target, message, wParam, MouseLParam(x, y)});
    fake.application.RunUntilIdle();
  }
  // Every "Movie <path>" the control was given, in order.
  std::vector<std::string> MoviesLoaded() const {
    std::vector<std::string> movies;
    for (const std::string& call : window->flash.calls) {
      if (call.rfind("Movie ", 0) == 0) movies.push_back(call.substr(6));
    }
    return movies;
  }

  fakes::FakePlatform fake;
  std::map<std::string, int32_t> frames;
  FakeSaverWindow* window = nullptr;
  std::unique_ptr<TApplication> application;
  std::unique_ptr<TForm1> form;
};

}  // namespace swfsaver::saver_test
