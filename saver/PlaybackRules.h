// The two pure decisions of playlist playback: which entry comes next, and where a movie shown
// at its own size sits on the display.
#pragma once

#include <cstdint>

namespace swfsaver {

// The entry after current; after the last entry (and with a single entry every time) the
// playlist starts again at entry 0.
int32_t NextMovieIndex(int32_t current, int32_t count);

struct ControlRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const ControlRect&) const = default;
};

// A frame of frameWidth x frameHeight centred on the display. The halving is a signed
// division that truncates toward zero: a movie 77 pixels wider than the display gets left
// -38, not -39.
ControlRect CentredControlRect(int32_t displayWidth, int32_t displayHeight, int32_t frameWidth,
                               int32_t frameHeight);

// A movie's own frame size in the display's pixels: scaled by dpi / 96, rounded, so that a
// movie shown at its own size covers as much of a high-DPI screen as of a 96 dpi one (550
// pixels wide at 200 % is 1100). A dpi below 96 (or none known) counts as 96; the result is
// kept within int32.
int32_t ToDisplayPixels(int32_t frameSize, int32_t dpi);

}  // namespace swfsaver
