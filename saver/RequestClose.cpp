// Closing on user activity: in saver mode the system's screen-saver password routine runs
// first, provided the user's "Control Panel\Desktop" key can be opened; the window closes on
// every path.
#include <exception>

#include "framework/CommandLine.h"
#include "framework/PasswordChange.h"
#include "framework/RunMode.h"
#include "framework/StrToInt.h"
#include "saver/SaverState.h"
#include "saver/Unit1.h"

namespace swfsaver {

namespace {

inline constexpr const char* kDesktopKey = "Control Panel\\Desktop";

// The key is only opened, never created and never read: whether it opens decides whether
// the password step runs. It is closed when the gate goes out of scope.
class DesktopKeyGate {
 public:
  explicit DesktopKeyGate(platform::Registry& registry) : registry_(registry) {
    if (registry_.OpenKey(platform::kHkeyCurrentUser, kDesktopKey, &key_) !=
        platform::kErrorSuccess) {
      key_ = 0;
    }
  }
  ~DesktopKeyGate() {
    if (key_ != 0) registry_.CloseKey(key_);
  }
  DesktopKeyGate(const DesktopKeyGate&) = delete;
  DesktopKeyGate& operator=(const DesktopKeyGate&) = delete;
  bool IsOpen() const { return key_ != 0; }

 private:
  platform::Registry& registry_;
  platform::RegKey key_ = 0;
};

}  // namespace

void TForm1::RequestClose() {
  if (RunMode != rmSaver) {
    window_->Close();
    return;
  }
  // Moves that the password dialog's own loop hands to the window are ignored for a while.
  MouseMoveGrace = kMouseMoveGrace;
  {
    DesktopKeyGate gate(platform_.registry);
    if (gate.IsOpen()) PasswordStep();
  }
  window_->Close();
}

void TForm1::PasswordStep() {
  platform_.system.ShowCursor(true);
  try {
    platform_.system.HideOwnerWindow();
    // Read afresh and not upper-cased: the owner window handle, 0 when absent or not a number.
    ChangeScreenSaverPassword(platform_.kernel, [this] {
      return TryStrToInt(ParamStr(platform_.kernel.CommandLine(), 2)).value_or(0);
    });
  } catch (...) {
    // Whatever the routine or the steps around it raise, the saver still hides the cursor
    // again and closes: the user is never left with a saver that cannot be ended.
  }
  platform_.system.ShowCursor(false);
}

}  // namespace swfsaver
