// The settings dialog's file-open dialog.
#pragma once

#include "platform/win32/WindowsApi.h"

#include <string>

#include "platform/SettingsDialog.h"

namespace swfsaver::win32 {

// OpenDialog1: GetOpenFileNameW for one file, read-only box hidden, resizable, and without
// the options that demand an existing file or folder. The chosen path is kept in UTF-8.
class Win32OpenDialog : public platform::OpenDialog {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  void SetFilter(const std::string& filter) override { filter_ = filter; }
  bool Execute() override;
  std::string FileName() override { return fileName_; }

 private:
  HWND owner_ = nullptr;
  std::string filter_;
  std::string fileName_;
};

// The framework's filter form ("description|pattern|..." in UTF-8) as the file dialog takes
// it: UTF-16 parts, each ended by a zero, the list ended by one more. Empty for no filter.
std::wstring FileDialogFilter(const std::string& filter);

}  // namespace swfsaver::win32
