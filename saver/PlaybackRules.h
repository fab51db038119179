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

}  // namespace swfsaver
