// The 44-byte header of a WAV file holding the mix: 16-bit PCM, stereo, 44.1 kHz. Written
// again with the final length when the file is closed (the control's test recording, the
// swf_audio tool).
#pragma once

#include <array>
#include <cstdint>

#include "swfplayer/audio/Voice.h"

namespace swfplayer::audio {

inline std::array<uint8_t, 44> WavHeader(uint32_t dataBytes) {
  std::array<uint8_t, 44> h{};
  auto put32 = [&h](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) h[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  auto put16 = [&h](size_t at, uint16_t v) {
    h[at] = static_cast<uint8_t>(v);
    h[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  const char* tags[] = {"RIFF", "WAVE", "fmt ", "data"};
  const size_t at[] = {0, 8, 12, 36};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) h[at[i] + j] = static_cast<uint8_t>(tags[i][j]);
  }
  put32(4, 36 + dataBytes);
  put32(16, 16);
  put16(20, 1);  // PCM
  put16(22, 2);
  put32(24, kOutputRate);
  put32(28, kOutputRate * 4);
  put16(32, 4);
  put16(34, 16);
  put32(40, dataBytes);
  return h;
}

}  // namespace swfplayer::audio
