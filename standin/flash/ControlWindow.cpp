// The control's own child window: it shows the movie and carries the frame timer, so frames
// advance through the host's message loop as with the real control.
//
// What is shown is drawn by the player into the frame surface (player/Stage.h says what goes
// where): the movie shown all and centred, on the BackgroundColor property where it is set,
// else on the movie's own background with black around the stage. Each tick draws the next
// frame and blits it once: only the part that changed is drawn and blitted, nothing at all
// when nothing visible changed. WM_PAINT only blits the frame already drawn.
#include "standin/flash/Module.h"
#include "standin/flash/StandinControl.h"
#include "swfplayer/player/Stage.h"

namespace swfsaver::flash {
namespace {

constexpr wchar_t kWindowClass[] = L"SwfSaverFlashStandin";
constexpr UINT_PTR kFrameTimer = 1;

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* control = reinterpret_cast<StandinControl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!control) return DefWindowProcW(window, message, wParam, lParam);
  return control->HandleWindowMessage(window, message, wParam, lParam);
}

bool RegisterWindowClass() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  if (GetClassInfoExW(ModuleInstance(), kWindowClass, &windowClass)) return true;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = ControlWindowProc;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kWindowClass;
  return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

void UnregisterControlWindowClass() { UnregisterClassW(kWindowClass, ModuleInstance()); }

bool StandinControl::CreateControlWindow(HWND parent, const RECT& position) {
  if (!RegisterWindowClass()) return false;
  window_ = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                            position.left, position.top, position.right - position.left,
                            position.bottom - position.top, parent, nullptr, ModuleInstance(),
                            this);
  if (!window_) return false;
  if (playback_.Playing()) StartFrameTimer();
  return true;
}

void StandinControl::DestroyControlWindow() {
  if (!window_) return;
  HWND window = window_;
  window_ = nullptr;
  KillTimer(window, kFrameTimer);
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
}

// The timer needs the window; a Play before activation starts it when the window is made.
void StandinControl::StartFrameTimer() {
  if (window_ && playback_.Playing()) {
    SetTimer(window_, kFrameTimer, playback_.FrameIntervalMs(), nullptr);
  }
}

void StandinControl::StopFrameTimer() {
  if (window_) KillTimer(window_, kFrameTimer);
}

LRESULT StandinControl::HandleWindowMessage(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kFrameTimer && playback_.Advance() && drawing_) {
        // Drawn and put on screen at once, as an animation is: going through WM_PAINT would
        // add a round trip through the message queue to every frame.
        const swfplayer::render::PixelBox changed = DrawFrame();
        if (!changed.Empty()) {
          HDC dc = GetDC(window);
          surface_.Blit(dc, changed);
          ReleaseDC(window, dc);
        }
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the blit covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      if (!drawing_) {
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      } else {
        if (!surface_.Fits(client.right, client.bottom)) DrawFrame();
        if (surface_.Fits(client.right, client.bottom)) surface_.Blit(dc);
      }
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

swfplayer::render::PixelBox StandinControl::DrawFrame() {
  RECT client{};
  if (!window_ || !GetClientRect(window_, &client)) return {};
  if (!surface_.Resize(client.right, client.bottom, quality_)) return {};
  std::optional<swfplayer::Rgba> background;
  if (backgroundColor_ >= 0) {
    background = swfplayer::Rgba{static_cast<uint8_t>(backgroundColor_ >> 16),
                              static_cast<uint8_t>(backgroundColor_ >> 8),
                              static_cast<uint8_t>(backgroundColor_), 255};
  }
  swfplayer::render::RasterCanvas& canvas = surface_.Canvas();
  canvas.BeginFrame();
  swfplayer::player::DrawStage(playback_.Movie(), canvas, background);
  return canvas.EndFrame();
}

void StandinControl::Redraw() {
  if (!window_) return;
  if (drawing_) DrawFrame();
  InvalidateRect(window_, nullptr, FALSE);
}

}  // namespace swfsaver::flash
