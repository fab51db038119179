#include <windows.h>

#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32SystemState.h"

namespace swfsaver::win32 {

int Win32SystemState::ShowCursor(bool show) { return ::ShowCursor(show ? TRUE : FALSE); }

void Win32SystemState::SetScreenSaverRunning(bool running) {
  UINT previous = 0;
  SystemParametersInfoA(SPI_SCREENSAVERRUNNING, running ? TRUE : FALSE, &previous, 0);
}

void Win32SystemState::HideOwnerWindow() {
  Win32Application::Current().HideOwnerWindow();
}

int32_t Win32SystemState::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

int32_t Win32SystemState::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

}  // namespace swfsaver::win32
