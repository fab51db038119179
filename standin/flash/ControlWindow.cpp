// The control's own child window: it shows the movie and carries the frame timer, so frames
// advance through the host's message loop as with the real control.
//
// What is painted: the movie's stage, its frame size scaled to fit the control's rectangle
// with its proportions kept and centred, filled with the movie's SetBackgroundColor colour,
// and a bar along the stage's foot that grows with the frame on screen. The rest of the
// rectangle (and all of it without a movie, or for a movie without that colour) gets the
// BackgroundColor property: black for 0; black also while the property is unset (-1).
#include <algorithm>

#include "standin/flash/Module.h"
#include "standin/flash/StandinControl.h"

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

COLORREF FromRgbProperty(long color) {
  return RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF);
}

void Fill(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

// The movie's frame scaled into client with its proportions kept, centred.
RECT StageRect(const RECT& client, int32_t movieWidth, int32_t movieHeight) {
  const long width = client.right - client.left;
  const long height = client.bottom - client.top;
  if (movieWidth <= 0 || movieHeight <= 0 || width <= 0 || height <= 0) return client;
  long stageWidth = width;
  long stageHeight = static_cast<long>(int64_t{width} * movieHeight / movieWidth);
  if (stageHeight > height) {
    stageHeight = height;
    stageWidth = static_cast<long>(int64_t{height} * movieWidth / movieHeight);
  }
  const long left = client.left + (width - stageWidth) / 2;
  const long top = client.top + (height - stageHeight) / 2;
  return {left, top, left + stageWidth, top + stageHeight};
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
      if (wParam == kFrameTimer && playback_.Advance()) {
        // Draw only what a frame changes, at once, as an animation does: a saver runs for
        // hours, and a full repaint through WM_PAINT 30 times a second would cost more than
        // everything else the host does. WM_PAINT still repaints whatever gets uncovered.
        RECT client;
        GetClientRect(window, &client);
        const RECT row = ProgressRow(client);
        HDC dc = GetDC(window);
        IntersectClipRect(dc, row.left, row.top, row.right, row.bottom);
        Paint(dc, client);
        ReleaseDC(window, dc);
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      Paint(dc, client);
      EndPaint(window, &paint);
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void StandinControl::Paint(HDC dc, const RECT& client) const {
  Fill(dc, client, backgroundColor_ >= 0 ? FromRgbProperty(backgroundColor_) : RGB(0, 0, 0));
  const auto& movie = playback_.Movie();
  if (!movie || !movie->backgroundColor) return;
  const RECT stage = StageRect(client, movie->WidthPixels(), movie->HeightPixels());
  const Rgb color = *movie->backgroundColor;
  Fill(dc, stage, RGB(color.red, color.green, color.blue));
  const int32_t total = std::max(playback_.TotalFrames(), 1);
  const long stageWidth = stage.right - stage.left;
  RECT bar = ProgressRow(client);
  bar.right = stage.left + static_cast<long>(int64_t{stageWidth} * (playback_.CurrentFrame() + 1) / total);
  Fill(dc, bar, RGB(255 - color.red, 255 - color.green, 255 - color.blue));
}

RECT StandinControl::ProgressRow(const RECT& client) const {
  const auto& movie = playback_.Movie();
  if (!movie || !movie->backgroundColor) return client;
  RECT row = StageRect(client, movie->WidthPixels(), movie->HeightPixels());
  const long barHeight = std::max<long>(4, (row.bottom - row.top) / 20);
  row.top = std::max(row.top, row.bottom - barHeight);
  return row;
}

}  // namespace swfsaver::flash
