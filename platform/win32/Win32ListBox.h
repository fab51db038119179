// The settings dialog's list of movies over its list box window.
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

}  // namespace swfsaver::win32
