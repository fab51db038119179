// saver_bench_bare [seconds] [paint|blit]: the baseline of the saver's benchmark. A program
// that does nothing but run GetMessage/DispatchMessage for a window with a 30 fps timer, as a
// movie player at 30 fps must at least; it ends after the given seconds (default 20). With
// "paint" its window is shown at the size of a 320 x 240 sample, centred on a 1024 x 768
// display, and repainted on every tick, which tells how much of a player's cost is the drawing
// of a frame through the system alone. With "blit" it covers the 1024 x 768 display and puts a
// frame drawn once beforehand on screen each tick from one DIB section, as a full-screen
// player that draws nothing itself would.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT_PTR kEndTimer = 2;
bool paintFrames = false;
HDC frameContext = nullptr;  // "blit": the ready frame, selected into a memory DC
constexpr int kBlitWidth = 1024;
constexpr int kBlitHeight = 768;

// A frame of horizontal colour bands, drawn once: what gets blitted is a real picture.
void MakeReadyFrame() {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kBlitWidth;
  info.bmiHeader.biHeight = -kBlitHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP frame = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* pixels = static_cast<DWORD*>(bits);
  for (int y = 0; y < kBlitHeight; ++y) {
    for (int x = 0; x < kBlitWidth; ++x) pixels[y * kBlitWidth + x] = 0xFF000000u | (y * 0x010203u);
  }
  frameContext = CreateCompatibleDC(nullptr);
  SelectObject(frameContext, frame);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kEndTimer) {
        PostQuitMessage(0);
      } else if (frameContext) {
        HDC context = GetDC(window);
        BitBlt(context, 0, 0, kBlitWidth, kBlitHeight, frameContext, 0, 0, SRCCOPY);
        ReleaseDC(window, context);
      } else if (paintFrames) {
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC context = BeginPaint(window, &paint);
      FillRect(context, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned seconds = argc > 1 ? static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)) : 20;
  paintFrames = argc > 2 && std::strcmp(argv[2], "paint") == 0;
  const bool blitFrames = argc > 2 && std::strcmp(argv[2], "blit") == 0;
  if (blitFrames) MakeReadyFrame();
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"SaverBenchBare";
  RegisterClassW(&windowClass);
  HWND window = blitFrames ? CreateWindowExW(0, L"SaverBenchBare", L"bare", WS_POPUP, 0, 0,
                                             kBlitWidth, kBlitHeight, nullptr, nullptr,
                                             windowClass.hInstance, nullptr)
                           : CreateWindowExW(0, L"SaverBenchBare", L"bare", WS_POPUP, 352, 264,
                                             320, 240, nullptr, nullptr, windowClass.hInstance,
                                             nullptr);
  if (paintFrames || blitFrames) ShowWindow(window, SW_SHOWNA);
  SetTimer(window, kFrameTimer, 1000 / 30, nullptr);
  SetTimer(window, kEndTimer, seconds * 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  DestroyWindow(window);
  return 0;
}
