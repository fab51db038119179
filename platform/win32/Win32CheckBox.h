// The settings dialog's check box over its button window.
#pragma once

#include "platform/win32/WindowsApi.h"

#include <string>

#include "platform/SettingsDialog.h"

namespace swfsaver::win32 {

class Win32CheckBox : public platform::CheckBox {
 public:
  void Attach(HWND window) { window_ = window; }
  bool Checked() override;
  void SetChecked(bool checked) override;

 private:
  HWND window_ = nullptr;
};

}  // namespace swfsaver::win32
