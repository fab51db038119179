// The saver window on Win32: a borderless top-level window owned by the application's owner
// window, the black panel Panel1 that fills it once aligned, the never visible ButtonClose,
// and the Flash control hosted on the panel. As a message filter of the loop it routes keys
// the way the framework does: the control's accelerators first, then focus navigation, then
// key preview.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/SaverWindow.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32FlashControl.h"

namespace swfsaver::win32 {

class Win32SaverWindow final : public platform::SaverWindow, public MessageFilter {
 public:
  // Creates the window, its panel, its button and (withFlashControl) the control; raises
  // EOleSysError when the control cannot be created, leaving no window behind.
  Win32SaverWindow(Win32Application& application, platform::SaverWindowEvents& events,
                   bool withFlashControl = true);
  ~Win32SaverWindow() override;
  Win32SaverWindow(const Win32SaverWindow&) = delete;
  Win32SaverWindow& operator=(const Win32SaverWindow&) = delete;

  std::uintptr_t Handle() override { return reinterpret_cast<std::uintptr_t>(form_); }
  void SetColor(uint32_t rgb) override;
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetPanelVisible(bool visible) override;
  void AlignPanelToClient() override;
  platform::FlashControl& ShockwaveFlash1() override;
  void Show() override;
  void Close() override;
  void SetRetryTimer(uint32_t intervalMs) override;

  bool PreTranslateMessage(MSG& message) override;

 private:
  static LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PanelProcedure(HWND window, UINT message, WPARAM wParam,
                                         LPARAM lParam);
  LRESULT OnFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnPanelMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnMouseMessage(UINT message, WPARAM wParam, LPARAM lParam, bool panel);
  void FillPanel();
  void DestroyWindows();

  // Key routing (Win32SaverWindowKeys.cpp).
  bool IsOwnWindow(HWND window) const;
  bool NavigatesFocus(const MSG& message);
  void PreviewKey(const MSG& message);

  Win32Application& application_;
  platform::SaverWindowEvents& events_;
  HWND form_ = nullptr;
  HWND panel_ = nullptr;
  HWND button_ = nullptr;
  HBRUSH formBrush_ = nullptr;  // null: the design colour, the system button face
  HBRUSH panelBrush_ = nullptr;
  std::unique_ptr<Win32FlashControl> flash_;  // null in a window made without it
  bool panelAligned_ = false;
};

std::unique_ptr<platform::SaverWindow> CreateWin32SaverWindow(Win32Application& application,
                                                              platform::SaverWindowEvents& events,
                                                              bool withFlashControl = true);

}  // namespace swfsaver::win32
