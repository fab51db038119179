// Windows' MP3 decoder DMO, as the control decodes MP3 sounds with it, under Wine: MP3 made at
// build time (sox and lame) decodes at its pitch and length, mono and stereo, and a damaged
// stretch keeps the sound's length.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

#include "standin/flash/DmoMp3Decoder.h"
#include "swfplayer/audio/CodecReader.h"

namespace {

using namespace swfplayer;

std::vector<uint8_t> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<int16_t> Decode(std::span<const uint8_t> mp3, bool stereo, audio::Mp3DecoderSource* source) {
  audio::CodecReader reader({format::SoundCodec::kMp3, 3, true, stereo}, source);
  reader.Start(mp3);
  std::vector<int16_t> out;
  while (reader.Next(out)) {
  }
  return out;
}

double PitchHz(const std::vector<int16_t>& stereo, int channel, size_t from, size_t to) {
  int crossings = 0;
  for (size_t i = from + 1; i < to; ++i) {
    if ((stereo[(i - 1) * 2 + channel] < 0) != (stereo[i * 2 + channel] < 0)) ++crossings;
  }
  return crossings / 2.0 / ((to - from) / 44100.0);
}

class DmoMp3 : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
  void TearDown() override { CoUninitialize(); }
  swfsaver::flash::DmoMp3DecoderSource source_;
};

TEST_F(DmoMp3, DecodesStereoAtItsPitchAndLength) {
  const auto mp3 = ReadFile(SWFSAVER_MP3_STEREO);
  ASSERT_GT(mp3.size(), 10000u);
  const auto out = Decode(mp3, true, &source_);
  // Two seconds: 440 Hz on the left, 660 Hz on the right.
  ASSERT_GE(out.size() / 2, 88200u);
  EXPECT_LE(out.size() / 2, 88200u + 4 * 1152);
  EXPECT_NEAR(PitchHz(out, 0, 22050, 66150), 440, 6);
  EXPECT_NEAR(PitchHz(out, 1, 22050, 66150), 660, 8);
}

TEST_F(DmoMp3, DecodesMonoDoubledAndDamageKeepsTheLength) {
  auto mp3 = ReadFile(SWFSAVER_MP3_MONO);
  ASSERT_GT(mp3.size(), 5000u);
  const auto out = Decode(mp3, false, &source_);
  EXPECT_NEAR(PitchHz(out, 0, 22050, 66150), 440, 6);
  EXPECT_EQ(out[30000 * 2], out[30000 * 2 + 1]);
  for (size_t i = mp3.size() / 2; i < mp3.size() / 2 + 500; ++i) mp3[i] = 0x33;
  const auto damaged = Decode(mp3, false, &source_);
  EXPECT_NEAR(static_cast<double>(damaged.size()), static_cast<double>(out.size()), 2 * 1152 * 2);
}

}  // namespace
