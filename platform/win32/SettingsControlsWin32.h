// The settings dialog's controls as the dialog logic sees them, each over its window.
#pragma once

#include "platform/win32/WindowsApi.h"

#include <string>

#include "platform/SettingsDialog.h"

namespace swfsaver::win32 {

// ListBoxMovie. Created as an ANSI window and spoken to with the A messages, so the paths
// stay the bytes the file dialog and the registry gave.
class Win32ListBox : public platform::ListBox {
 public:
  void Attach(HWND window) { window_ = window; }
  int32_t Count() override;
  std::string Item(int32_t index) override;
  void Add(const std::string& item) override;
  void Insert(int32_t index, const std::string& item) override;
  void Delete(int32_t index) override;
  void Clear() override;
  int32_t ItemIndex() override;
  void SetItemIndex(int32_t index) override;
  void SetTopIndex(int32_t index) override;
  void SetFocus() override;

 private:
  HWND window_ = nullptr;
};

class Win32CheckBox : public platform::CheckBox {
 public:
  void Attach(HWND window) { window_ = window; }
  bool Checked() override;
  void SetChecked(bool checked) override;

 private:
  HWND window_ = nullptr;
};

class Win32Label : public platform::Label {
 public:
  void Attach(HWND window) { window_ = window; }
  std::string Text() override;
  void SetText(const std::string& utf8) override;

 private:
  HWND window_ = nullptr;
};

// OpenDialog1: GetOpenFileNameA for one file, read-only box hidden, resizable, and without
// the options that demand an existing file or folder.
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
// it: ANSI parts, each ended by a zero byte, the list ended by one more. Empty for no filter.
std::string FileDialogFilter(const std::string& filter);

}  // namespace swfsaver::win32
