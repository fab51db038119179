// The sound tags and the decoders: SOUNDINFO and the heads as the writer lays them out, ADPCM
// against samples worked out by hand and against its encoder at every code size, PCM in both
// byte orders, MP3 frame headers, and MP3 of all three MPEG versions through libmpg123 (made
// by libmp3lame), also damaged.
#include <gtest/gtest.h>

#include <cmath>

#include "swfplayer/audio/CodecReader.h"
#include "swfplayer/audio/Mp3Frames.h"
#include "swfplayer/audio/native/Mpg123Decoder.h"
#include "swfplayer/format/Sound.h"
#include "tests/audio_mp3_encoder.h"
#include "tests/audio_test_support.h"
#include "tools/SwfSound.h"

namespace {

using namespace swfplayer;
using namespace swfsaver::testing;
using format::SoundCodec;
namespace tools = swfsaver::tools;

std::vector<int16_t> DecodeAll(format::SoundFormat format, std::span<const uint8_t> data,
                               audio::Mp3DecoderSource* mp3 = nullptr) {
  audio::CodecReader reader(format, mp3);
  reader.Start(data);
  std::vector<int16_t> out;
  while (reader.Next(out)) {
  }
  return out;
}

double SnrDb(const std::vector<int16_t>& original, const std::vector<int16_t>& decodedLeft) {
  double signal = 0, noise = 0;
  for (size_t i = 0; i < original.size(); ++i) {
    signal += double(original[i]) * original[i];
    noise += std::pow(double(original[i]) - decodedLeft[i], 2);
  }
  return 10 * std::log10(signal / std::max(noise, 1.0));
}

TEST(SoundTags, SoundInfoFieldsComeBackAsWritten) {
  std::vector<tools::SwfSoundInfo> cases(5);
  cases[1].syncStop = true;
  cases[2].syncNoMultiple = true;
  cases[2].loops = 7;
  cases[3].inPoint = 1000;
  cases[3].outPoint = 90000;
  cases[4].envelope = {{0, 0, 32768}, {44100, 32768, 100}};
  cases[4].loops = 0;  // read as 1
  for (const auto& info : cases) {
    std::vector<uint8_t> body = {0x34, 0x12};
    tools::PutSoundInfo(body, info);
    const auto start = format::DecodeStartSound(body);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->id, 0x1234);
    EXPECT_EQ(start->info.syncStop, info.syncStop);
    EXPECT_EQ(start->info.syncNoMultiple, info.syncNoMultiple);
    EXPECT_EQ(start->info.inPoint, info.inPoint);
    EXPECT_EQ(start->info.outPoint, info.outPoint);
    EXPECT_EQ(start->info.loops, std::max<uint16_t>(info.loops.value_or(1), 1));
    ASSERT_EQ(start->info.envelope.size(), info.envelope.size());
    for (size_t i = 0; i < info.envelope.size(); ++i) {
      EXPECT_EQ(start->info.envelope[i], (format::EnvelopePoint{info.envelope[i].position44, info.envelope[i].left,
                                                                info.envelope[i].right}));
    }
    // Cut inside the envelope: the points read whole stay, the rest go.
    if (!info.envelope.empty()) {
      body.resize(body.size() - 3);
      ASSERT_TRUE(format::DecodeStartSound(body));
      EXPECT_EQ(format::DecodeStartSound(body)->info.envelope.size(), info.envelope.size() - 1);
    }
  }
  EXPECT_FALSE(format::DecodeStartSound(std::vector<uint8_t>{0x01, 0x00, 0x01, 0xE8}));  // in point cut
}

TEST(SoundTags, DefineSoundAndStreamHeads) {
  const std::vector<uint8_t> define = {0x05, 0x00, 0b0010'10'1'1, 0x40, 0x1F, 0, 0, 0xAA, 0xBB};
  const auto sound = format::DecodeDefineSound(define);
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->id, 5);
  EXPECT_EQ(sound->format, Format(SoundCodec::kMp3, 2, true));
  EXPECT_EQ(sound->format.RateTimes2(), 44100u);
  EXPECT_EQ(sound->sampleCount, 8000u);
  EXPECT_EQ(sound->data.size(), 2u);
  EXPECT_FALSE(format::DecodeDefineSound(std::vector<uint8_t>{0x05, 0x00, 0x2B, 0x40}));

  // SoundStreamHead2 with MP3: the latency seek follows; without it the head still plays.
  const std::vector<uint8_t> head = {0b0000'11'1'1, 0b0010'01'1'0, 0x70, 0x04, 0xFE, 0xFF};
  const auto mp3 = format::DecodeSoundStreamHead(head);
  ASSERT_TRUE(mp3);
  EXPECT_EQ(mp3->playback, Format(SoundCodec::kPcmLittle, 3, true));
  EXPECT_EQ(mp3->stream, Format(SoundCodec::kMp3, 1, false));
  EXPECT_EQ(mp3->samplesPerBlock, 1136);
  EXPECT_EQ(mp3->latencySeek, -2);
  EXPECT_TRUE(format::DecodeSoundStreamHead(std::span(head).first(4)));
  EXPECT_FALSE(format::DecodeSoundStreamHead(std::span(head).first(3)));
  EXPECT_EQ(Format(SoundCodec::kPcmLittle, 0, false).Rate(), 5512u);
}

TEST(Adpcm, TwoBitCodesGiveTheSamplesWorkedOutByHand) {
  // Code size 2, first sample 0, step index 0, then the codes 01 01 00 11.
  const std::vector<uint8_t> data = {0x00, 0x00, 0x00, 0b01'01'00'11};
  const auto out = DecodeAll(Format(SoundCodec::kAdpcm, 0, false), data);
  const std::vector<int16_t> expected = {0, 0, 10, 10, 23, 23, 28, 28, 13, 13};
  EXPECT_EQ(out, expected);
}

TEST(Adpcm, EveryCodeSizeFollowsItsEncoderAcrossPackets) {
  const double minimumSnr[] = {4, 10, 16, 22};  // 2, 3, 4 and 5 bits
  for (bool stereo : {false, true}) {
    // Three packets and a part: 4096 samples per channel each.
    const auto left = Sine(440, 22050, 13000, 0.6);
    std::vector<int16_t> samples;
    for (size_t i = 0; i < left.size(); ++i) {
      samples.push_back(left[i]);
      if (stereo) samples.push_back(static_cast<int16_t>(-left[i] / 2));
    }
    for (int bits = 2; bits <= 5; ++bits) {
      SCOPED_TRACE(testing::Message() << bits << " bits, stereo " << stereo);
      const auto encoded = tools::EncodeAdpcm(samples, stereo, bits);
      const auto out = DecodeAll(Format(SoundCodec::kAdpcm, 2, stereo), encoded);
      // The last byte's padding bits decode as a few more samples, as in any SWF player.
      ASSERT_GE(out.size(), left.size() * 2);
      ASSERT_LT(out.size(), left.size() * 2 + 8);
      std::vector<int16_t> decodedLeft, decodedRight;
      for (size_t i = 0; i < left.size(); ++i) {
        decodedLeft.push_back(out[i * 2]);
        decodedRight.push_back(out[i * 2 + 1]);
      }
      EXPECT_GT(SnrDb(left, decodedLeft), minimumSnr[bits - 2]);
      // Each packet starts on its exact first sample.
      for (size_t packet = 0; packet < left.size(); packet += 4096) EXPECT_EQ(decodedLeft[packet], left[packet]) << packet;
      if (stereo) {
        EXPECT_EQ(decodedRight[4096], samples[4096 * 2 + 1]);
      } else {
        EXPECT_EQ(decodedRight, decodedLeft);
      }

      // Cut in the second packet: the first packet is whole, the second ends where the data does.
      const auto cut = DecodeAll(Format(SoundCodec::kAdpcm, 2, stereo), std::span(encoded).first(encoded.size() / 2));
      EXPECT_GT(cut.size(), 4096u * 2);
      EXPECT_LT(cut.size(), out.size());
      EXPECT_TRUE(std::equal(cut.begin(), cut.end(), out.begin()));
    }
  }
}

TEST(Pcm, EightSixteenBitAndBothByteOrders) {
  const std::vector<uint8_t> eight = {0, 128, 255};
  EXPECT_EQ(DecodeAll(Format(SoundCodec::kPcmLittle, 1, false, false), eight),
            (std::vector<int16_t>{-32768, -32768, 0, 0, 32512, 32512}));
  const auto sine = Sine(300, 11025, 3000, 0.7, 2);
  for (bool bigEndian : {false, true}) {
    const auto bytes = tools::Pcm16(sine, bigEndian);
    // "Native" PCM is read in the byte order that makes it sound; little-endian PCM always so.
    EXPECT_EQ(DecodeAll(Format(SoundCodec::kPcmNative, 1, true), bytes), sine) << bigEndian;
    if (!bigEndian) {
      EXPECT_EQ(DecodeAll(Format(SoundCodec::kPcmLittle, 1, true), bytes), sine);
    }
  }
  // An odd byte at the end is no sample.
  EXPECT_EQ(DecodeAll(Format(SoundCodec::kPcmLittle, 1, false), std::vector<uint8_t>{1, 0, 7}).size(), 2u);
  // Nellymoser and Speex are not decoded.
  EXPECT_TRUE(DecodeAll(Format(SoundCodec::kNellymoser, 1, false), eight).empty());
  EXPECT_FALSE(audio::CodecReader(Format(SoundCodec::kSpeex, 1, false), nullptr).Playable());
}

TEST(Mp3Frames, HeadersOfEachVersion) {
  struct Case {
    std::vector<uint8_t> header;
    int version;
    uint32_t rate, bytes, samples;
    int channels;
  };
  const Case cases[] = {
      {{0xFF, 0xFB, 0x90, 0x00}, 1, 44100, 417, 1152, 2},   // 128 kbit/s
      {{0xFF, 0xFB, 0x92, 0xC0}, 1, 44100, 418, 1152, 1},   // padded, mono
      {{0xFF, 0xF3, 0x80, 0x00}, 2, 22050, 208, 576, 2},    // 64 kbit/s
      {{0xFF, 0xE3, 0x40, 0xC0}, 25, 11025, 208, 576, 1},   // 32 kbit/s
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> frame = c.header;
    frame.resize(c.bytes);
    const auto header = audio::ReadMp3FrameHeader(frame);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->version, c.version);
    EXPECT_EQ(header->sampleRate, c.rate);
    EXPECT_EQ(header->frameBytes, c.bytes);
    EXPECT_EQ(header->samplesPerFrame, c.samples);
    EXPECT_EQ(header->channels, c.channels);
    frame.pop_back();  // a frame cut short is not one
    EXPECT_FALSE(audio::ReadMp3FrameHeader(frame));
  }
  std::vector<uint8_t> bad(2000, 0);
  for (std::vector<uint8_t> header : {std::vector<uint8_t>{0xFF, 0xFD, 0x90, 0}, {0xFF, 0xFB, 0x00, 0}, {0xFF, 0xFB, 0xF0, 0},
                                      {0xFF, 0xFB, 0x9C, 0}, {0xFF, 0xEB, 0x90, 0}, {0xFF, 0xFB, 0x90, 0x02}}) {
    std::copy(header.begin(), header.end(), bad.begin());
    EXPECT_FALSE(audio::ReadMp3FrameHeader(bad));  // layer II, free format, bad rates, emphasis 2
  }
}

TEST(Mp3, ThreeMpegVersionsDecodeAtTheirPitchAndLength) {
  audio::Mpg123DecoderSource mpg123;
  struct Case {
    int rate;
    uint8_t rateIndex;
    bool stereo;
    int kbps;
  };
  for (const Case& c : {Case{44100, 3, true, 128}, Case{22050, 2, false, 48}, Case{11025, 1, false, 24}}) {
    SCOPED_TRACE(c.rate);
    const size_t count = c.rate;  // one second
    const auto pcm = Sine(c.rate / 20.0, c.rate, count, 0.5, c.stereo ? 2 : 1);
    const auto mp3 = EncodeMp3(pcm, c.rate, c.stereo, c.kbps);
    const auto out = DecodeAll(Format(SoundCodec::kMp3, c.rateIndex, c.stereo), mp3, &mpg123);
    const size_t perFrame = c.rate == 44100 ? 1152 : 576;
    ASSERT_EQ(out.size() % (perFrame * 2), 0u);
    EXPECT_GE(out.size() / 2, count);
    EXPECT_NEAR(PitchHz(out, 0, count / 4, count * 3 / 4, c.rate), c.rate / 20.0, c.rate / 20.0 * 0.02);
    EXPECT_GT(Peak(out, 1, count / 4, count * 3 / 4), 12000);

    // Damage in the middle: the length stays, and what cannot be decoded is silence.
    auto damaged = mp3;
    for (size_t i = damaged.size() / 2; i < damaged.size() / 2 + 600; ++i) damaged[i] = 0x55;
    const auto broken = DecodeAll(Format(SoundCodec::kMp3, c.rateIndex, c.stereo), damaged, &mpg123);
    EXPECT_NEAR(static_cast<double>(broken.size()), static_cast<double>(out.size()), perFrame * 2.0);
    // Without a decoder, MP3 is silence of its length.
    const auto silent = DecodeAll(Format(SoundCodec::kMp3, c.rateIndex, c.stereo), mp3, nullptr);
    EXPECT_EQ(silent.size(), out.size());
    EXPECT_EQ(Peak(silent, 0, 0, silent.size() / 2), 0);
  }
}

}  // namespace
