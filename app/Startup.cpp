#include "app/Startup.h"

#include <memory>

#include "app/ParseRunMode.h"
#include "framework/Application.h"
#include "framework/CommandLine.h"
#include "framework/ErrorReports.h"
#include "framework/PasswordChange.h"
#include "framework/RunMode.h"
#include "framework/StrToInt.h"
#include "platform/Exceptions.h"
#include "saver/ErrorRecord.h"

namespace swfsaver {

namespace {
constexpr const char* kSecondInstanceRefusal =
    "ERROR - 複数アプリケーションの起動は制限されています。";

// The system's dialog that changes the screen-saver password, owned by the window whose
// handle is the second argument. Nothing is created and no window of ours is made. The owner
// is converted only once the routine is found: without it a bad handle is never reported.
int ChangePassword(platform::Platform& platform) {
  ChangeScreenSaverPassword(platform.kernel,
                            [&platform] { return StrToInt(SecondParam, platform.codePage); });
  return 0;
}

// Preview, configure and saver mode: one instance at a time, then the mode's window.
int RunWindowMode(platform::Platform& platform, MainFormFactory& forms) {
  // The saver draws at the display's real pixels; the settings dialog stays as it is (scaled
  // by the system where it must be).
  if (RunMode == rmSaver) platform.system.DeclareDpiAware();
  TApplication application(platform);
  uint32_t lastError = 0;
  const platform::Handle instanceMutex =
      platform.kernel.CreateMutex(true, kInstanceMutexName, &lastError);
  if (lastError != 0) {
    // Another instance holds the name, or the mutex could not be made: refused either way.
    // The handle is left to the process end.
    platform.application.ShowMessageBox(platform.codePage.AnsiToUtf8(application.Title()),
                                        kSecondInstanceRefusal,
                                        platform::MessageBoxKind::Information);
    return 0;
  }
  application.Initialize();
  if (RunMode != rmPreview) {
    // A failing creation escapes to the last-chance handler and leaves the mutex to the
    // process end.
    std::unique_ptr<MainForm> form = RunMode == rmConfigure
                                         ? forms.CreateForm2(platform, application)
                                         : forms.CreateForm1(platform, application);
    application.Run();
    form.reset();
  }
  if (instanceMutex != 0) platform.kernel.ReleaseMutex(instanceMutex);
  return 0;
}

// The last-chance report: task-modal, stop icon, and exit code 1. A saver records it instead,
// as it does every error: a box would wait for a user who is not there.
int ReportLastChance(platform::Platform& platform, const std::exception& error) {
  const std::string moduleName = platform.codePage.AnsiToUtf8(
      ModuleBaseFileName(platform.kernel.ModuleFileName(), platform.codePage));
  const std::string text = LastChanceReportText(error, moduleName);
  if (RunMode == rmSaver) {
    SaverErrorRecord(platform).Record(text);
  } else {
    platform.application.ShowMessageBox(kLastChanceCaption, text,
                                        platform::MessageBoxKind::TaskModalError);
  }
  return 1;
}
}  // namespace

int RunProgram(platform::Platform& platform, MainFormFactory& forms) {
  const std::string commandLine = platform.kernel.CommandLine();
  FirstParam = UpperCaseAscii(ParamStr(commandLine, 1));
  SecondParam = UpperCaseAscii(ParamStr(commandLine, 2));
  const std::optional<TRunMode> mode = ParseRunMode(FirstParam);
  if (!mode) return 0;
  RunMode = *mode;
  if (RunMode == rmChangePassword) return ChangePassword(platform);
  return RunWindowMode(platform, forms);
}

int ProgramMain(platform::Platform& platform, MainFormFactory& forms) {
  try {
    return RunProgram(platform, forms);
  } catch (const std::exception& error) {
    return ReportLastChance(platform, error);
  } catch (...) {
    // Not an error class of ours or of the standard library: reported under the base class.
    return ReportLastChance(platform, Exception(""));
  }
}

}  // namespace swfsaver
