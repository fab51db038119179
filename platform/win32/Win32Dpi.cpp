// DPI awareness and the display's scale. The calls came with later versions of Windows than
// the program runs on (per-monitor v2 with Windows 10 1703, SetProcessDpiAwareness and
// GetDpiForMonitor with 8.1), so they are looked up at run time and the oldest that exists
// is used.
#include <windows.h>

#include "platform/win32/Win32SystemState.h"

namespace swfsaver::win32 {
namespace {

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, PROCESS_PER_MONITOR_DPI_AWARE, MDT_EFFECTIVE_DPI.
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
constexpr int kProcessPerMonitorDpiAware = 2;
constexpr int kEffectiveDpi = 0;

using SetContextFn = BOOL(WINAPI*)(HANDLE);
using SetAwarenessFn = HRESULT(WINAPI*)(int);
using SetAwareFn = BOOL(WINAPI*)();
using DpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
  if (!module) return nullptr;
  // Through a generic function pointer: a cast between unrelated function types warns.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

HMODULE ShellCore() {
  static const HMODULE module = LoadLibraryW(L"shcore.dll");  // kept for the process
  return module;
}

}  // namespace

void Win32SystemState::DeclareDpiAware() {
  const HMODULE user = GetModuleHandleW(L"user32.dll");
  if (const auto set = Lookup<SetContextFn>(user, "SetProcessDpiAwarenessContext")) {
    if (set(kPerMonitorAwareV2)) return;
  }
  if (const auto set = Lookup<SetAwarenessFn>(ShellCore(), "SetProcessDpiAwareness")) {
    if (SUCCEEDED(set(kProcessPerMonitorDpiAware))) return;
  }
  if (const auto set = Lookup<SetAwareFn>(user, "SetProcessDPIAware")) set();
}

int32_t Win32SystemState::DisplayDpi() {
  if (const auto dpiFor = Lookup<DpiForMonitorFn>(ShellCore(), "GetDpiForMonitor")) {
    UINT x = 0, y = 0;
    const HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (SUCCEEDED(dpiFor(primary, kEffectiveDpi, &x, &y)) && x > 0) return static_cast<int32_t>(x);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace swfsaver::win32
