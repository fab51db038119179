// saver_probe: what the saver's end-to-end tests and its benchmark ask of the running saver
// from outside. It finds the saver window by its caption (waiting up to 10 s for it), then
//   saver_probe post <message>   posts the message (decimal or 0x hex) to it;
//   saver_probe describe         prints its rectangle, whether it is visible, topmost and in
//                                the foreground, and whether the cursor is shown (Wine reports
//                                the display count of the foreground thread's input).
// Exit code 0, or 1 when no saver window appeared.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND FindSaverWindow() {
  const ULONGLONG deadline = GetTickCount64() + 10000;
  for (;;) {
    if (HWND window = FindWindowW(L"TForm1", L"メインのフォーム")) return window;
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(50);  // another process's window: nothing to wait on but time
  }
}

int Describe(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  CURSORINFO cursor{};
  cursor.cbSize = sizeof cursor;
  GetCursorInfo(&cursor);
  std::printf("rect %ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  std::printf("visible %d\n", IsWindowVisible(window) ? 1 : 0);
  std::printf("topmost %d\n", (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
  std::printf("foreground %d\n", GetForegroundWindow() == window ? 1 : 0);
  std::printf("cursor %s\n", (cursor.flags & CURSOR_SHOWING) ? "shown" : "hidden");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool post = argc == 3 && std::strcmp(argv[1], "post") == 0;
  const bool describe = argc == 2 && std::strcmp(argv[1], "describe") == 0;
  if (!post && !describe) {
    std::fprintf(stderr, "usage: saver_probe post <message> | saver_probe describe\n");
    return 2;
  }
  HWND window = FindSaverWindow();
  if (window == nullptr) {
    std::fprintf(stderr, "saver_probe: no saver window\n");
    return 1;
  }
  if (describe) return Describe(window);
  const auto message = static_cast<UINT>(std::strtoul(argv[2], nullptr, 0));
  return PostMessageW(window, message, 0, 0) ? 0 : 1;
}
