// The settings dialog on Win32: its window, controls, popup menu and file dialog, and the
// keyboard navigation between its controls as the loop's message filter.
#pragma once

#include "platform/win32/WindowsApi.h"

#include <memory>

#include "platform/SettingsDialog.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32CheckBox.h"
#include "platform/win32/Win32Label.h"
#include "platform/win32/Win32ListBox.h"
#include "platform/win32/Win32OpenDialog.h"
#include "platform/win32/Win32SettingsDialogLayout.h"

namespace swfsaver::win32 {

namespace layout = settings_layout;

class Win32SettingsDialog final : public platform::SettingsDialog, public MessageFilter {
 public:
  Win32SettingsDialog(Win32Application& application, platform::SettingsDialogEvents& events);
  ~Win32SettingsDialog() override;
  Win32SettingsDialog(const Win32SettingsDialog&) = delete;
  Win32SettingsDialog& operator=(const Win32SettingsDialog&) = delete;

  platform::ListBox& ListBoxMovie() override { return listBox_; }
  platform::CheckBox& CheckBoxExpansion() override { return checkBox_; }
  platform::Label& LabelFileName() override { return labelFileName_; }
  platform::OpenDialog& OpenDialog1() override { return openDialog_; }
  void Show() override;
  void Close() override;

  bool PreTranslateMessage(MSG& message) override;

 private:
  using Handler = void (platform::SettingsDialogEvents::*)();

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void CreateControls();
  HWND CreateControl(const layout::Place& place, HWND parent);
  void FitLabelToCaption(HWND label, const layout::Place& place);
  void CreatePopupMenu1();
  void Raise(Handler handler);
  void OnControlCommand(int id, int code);
  void OnMenuCommand(int id);
  void OnContextMenu(HWND from, LPARAM position);
  void OnActivate(bool active);
  void MoveFocus(bool backward);

  Win32Application& application_;
  platform::SettingsDialogEvents& events_;
  HWND window_ = nullptr;
  HWND listWindow_ = nullptr;
  HWND focus_ = nullptr;  // the control to give the focus back to on reactivation
  HFONT font_ = nullptr;
  HMENU popupMenu1_ = nullptr;
  Win32ListBox listBox_;
  Win32CheckBox checkBox_;
  Win32Label labelFileName_;
  Win32OpenDialog openDialog_;
};

std::unique_ptr<platform::SettingsDialog> CreateWin32SettingsDialog(
    Win32Application& application, platform::SettingsDialogEvents& events);

}  // namespace swfsaver::win32
