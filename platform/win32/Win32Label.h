// A label of the settings dialog over its static window, its text in UTF-8.
#pragma once

#include "platform/win32/WindowsApi.h"

#include <string>

#include "platform/SettingsDialog.h"

namespace swfsaver::win32 {

class Win32Label : public platform::Label {
 public:
  void Attach(HWND window) { window_ = window; }
  std::string Text() override;
  void SetText(const std::string& utf8) override;

 private:
  HWND window_ = nullptr;
};

}  // namespace swfsaver::win32
