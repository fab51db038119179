// The one window of configure or saver mode, as the start-up sees it: created before the
// message loop runs, destroyed after it ends.
#pragma once

#include <memory>

#include "platform/Platform.h"

namespace swfsaver {

class TApplication;

class MainForm {
 public:
  virtual ~MainForm() = default;
};

// Creates the window of a mode. The program entry creates the real windows; tests their own.
class MainFormFactory {
 public:
  virtual ~MainFormFactory() = default;
  // The settings dialog TForm2 (configure mode).
  virtual std::unique_ptr<MainForm> CreateForm2(platform::Platform& platform,
                                                TApplication& application) = 0;
  // The saver window TForm1 (saver mode).
  virtual std::unique_ptr<MainForm> CreateForm1(platform::Platform& platform,
                                                TApplication& application) = 0;
};

}  // namespace swfsaver
