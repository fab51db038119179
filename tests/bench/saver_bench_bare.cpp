// saver_bench_bare [seconds]: the baseline of the saver's benchmark. A program that does
// nothing but run GetMessage/DispatchMessage for a window with a 30 fps timer, as a movie
// player at 30 fps must at least; it ends after the given seconds (default 20).
#include <windows.h>

#include <cstdlib>

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT_PTR kEndTimer = 2;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kEndTimer) {
    PostQuitMessage(0);
    return 0;
  }
  if (message == WM_TIMER) return 0;  // a frame: nothing to draw
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned seconds = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 20;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"SaverBenchBare";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"SaverBenchBare", L"bare", WS_POPUP, 0, 0, 100, 100, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  SetTimer(window, kFrameTimer, 1000 / 30, nullptr);
  SetTimer(window, kEndTimer, seconds * 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  DestroyWindow(window);
  return 0;
}
