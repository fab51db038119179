// The program entry: picks the Win32 platform and the two real windows, then runs the
// start-up behind the last-chance handler. Its result is the process's exit code.
#include "platform/win32/Win32Platform.h"

#include <memory>

#include "app/Startup.h"
#include "dialog/Unit2.h"
#include "framework/Application.h"
#include "framework/MainForm.h"
#include "saver/Unit1.h"

namespace {

class ProgramForms : public swfsaver::MainFormFactory {
 public:
  std::unique_ptr<swfsaver::MainForm> CreateForm2(swfsaver::platform::Platform& platform,
                                                  swfsaver::TApplication& application) override {
    return std::make_unique<swfsaver::TForm2>(platform, application);
  }
  std::unique_ptr<swfsaver::MainForm> CreateForm1(swfsaver::platform::Platform& platform,
                                                  swfsaver::TApplication& application) override {
    return std::make_unique<swfsaver::TForm1>(platform, application);
  }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  swfsaver::win32::Win32Platform system;
  ProgramForms forms;
  return swfsaver::ProgramMain(system.platform, forms);
}
