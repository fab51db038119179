// MP3 test data made with libmp3lame at test time (the product never links it).
#pragma once

#include <lame/lame.h>

#include <cstdint>
#include <vector>

namespace swfsaver::testing {

// pcm: left/right interleaved when stereo. No Xing/LAME tag frame: only audio frames.
inline std::vector<uint8_t> EncodeMp3(const std::vector<int16_t>& pcm, int rate, bool stereo, int kbps) {
  lame_t lame = lame_init();
  lame_set_in_samplerate(lame, rate);
  lame_set_out_samplerate(lame, rate);
  lame_set_num_channels(lame, stereo ? 2 : 1);
  lame_set_mode(lame, stereo ? JOINT_STEREO : MONO);
  lame_set_brate(lame, kbps);
  lame_set_bWriteVbrTag(lame, 0);
  lame_set_quality(lame, 7);
  lame_init_params(lame);
  const int frames = static_cast<int>(pcm.size() / (stereo ? 2 : 1));
  std::vector<uint8_t> out(static_cast<size_t>(frames) * 5 / 4 + 7200);
  std::vector<int16_t> copy = pcm;
  int written = stereo ? lame_encode_buffer_interleaved(lame, copy.data(), frames, out.data(), static_cast<int>(out.size()))
                       : lame_encode_buffer(lame, copy.data(), copy.data(), frames, out.data(), static_cast<int>(out.size()));
  written += lame_encode_flush(lame, out.data() + written, static_cast<int>(out.size()) - written);
  lame_close(lame);
  out.resize(static_cast<size_t>(written));
  return out;
}

}  // namespace swfsaver::testing
