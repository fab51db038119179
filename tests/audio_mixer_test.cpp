// The mixer: resampling to 44.1 kHz, two sounds added and clipped, loops, in and out points,
// sync stop and no-multiple, envelopes, transforms, muting, the voice bound, and what scripts
// read (position, duration, finished voices).
#include <gtest/gtest.h>

#include "swfplayer/audio/SoundEngine.h"
#include "tests/audio_test_support.h"
#include "tools/SwfSound.h"

namespace {

using namespace swfplayer;
using namespace swfsaver::testing;
using format::SoundCodec;

// A mono 16-bit PCM sound holding value throughout, at the rate of rateIndex.
audio::EventSound Constant(int16_t value, uint32_t count, uint8_t rateIndex = 3) {
  return SoundOf(Format(SoundCodec::kPcmLittle, rateIndex, false), count,
                 swfsaver::tools::Pcm16(std::vector<int16_t>(count, value), false));
}

audio::VoiceId Start(audio::SoundEngine& engine, uint16_t id, format::SoundInfo info = {}) {
  return engine.Start({id, std::move(info), audio::kMovieOwner});
}

TEST(Mixer, ResamplesEachRateTo44kKeepingPitchAndLength) {
  struct Case {
    uint8_t rateIndex;
    uint32_t rate;
  };
  for (const Case& c : {Case{0, 5512}, Case{1, 11025}, Case{2, 22050}, Case{3, 44100}}) {
    SCOPED_TRACE(c.rate);
    audio::SoundEngine engine(nullptr);
    const uint32_t count = c.rate / 5;  // 0.2 s
    engine.DefineSound(1, SoundOf(Format(SoundCodec::kPcmLittle, c.rateIndex, false), count,
                                  swfsaver::tools::Pcm16(Sine(500, c.rate, count), false)));
    Start(engine, 1);
    const auto out = MixFrames(engine, 10000);
    EXPECT_NEAR(static_cast<double>(SoundingFrames(out)), 8820, 10);
    EXPECT_NEAR(PitchHz(out, 0, 500, 8000), 500, 5);
    EXPECT_EQ(out[4000 * 2], out[4000 * 2 + 1]);  // mono on both sides
    EXPECT_EQ(engine.VoiceCount(), 0u);
  }
}

TEST(Mixer, TwoSoundsAddUpAndClipWithoutWrapping) {
  audio::SoundEngine engine(nullptr);
  engine.DefineSound(1, Constant(1000, 4410));
  engine.DefineSound(2, Constant(2000, 2205));
  engine.DefineSound(3, Constant(30000, 4410));
  engine.DefineSound(4, Constant(-30000, 4410));
  Start(engine, 1);
  Start(engine, 2);
  auto out = MixFrames(engine, 4410);
  EXPECT_EQ(out[1000 * 2], 3000);
  EXPECT_EQ(out[3000 * 2 + 1], 1000);  // the shorter one has ended
  Start(engine, 3);
  Start(engine, 3);
  out = MixFrames(engine, 100);
  EXPECT_EQ(out[50 * 2], 32767);
  engine.StopAll();
  Start(engine, 4);
  Start(engine, 4);
  EXPECT_EQ(MixFrames(engine, 100)[50 * 2], -32768);
}

TEST(Mixer, LoopsInAndOutPointsAndFinishedVoices) {
  audio::SoundEngine engine(nullptr);
  engine.DefineSound(1, Constant(1000, 1000));
  engine.DefineSound(2, Constant(1000, 1000, 2));  // 22 kHz: points count 44 kHz samples
  format::SoundInfo looped;
  looped.loops = 3;
  const audio::VoiceId voice = Start(engine, 1, looped);
  EXPECT_EQ(SoundingFrames(MixFrames(engine, 5000)), 3000u);
  EXPECT_EQ(engine.TakeFinished(), std::vector<audio::VoiceId>{voice});
  EXPECT_TRUE(engine.TakeFinished().empty());

  format::SoundInfo trimmed;
  trimmed.inPoint = 200;
  trimmed.outPoint = 700;
  trimmed.loops = 2;
  Start(engine, 1, trimmed);
  EXPECT_EQ(SoundingFrames(MixFrames(engine, 5000)), 1000u);
  Start(engine, 2, trimmed);  // 100 to 350 of its own samples, twice, at half the rate
  EXPECT_NEAR(static_cast<double>(SoundingFrames(MixFrames(engine, 5000))), 1000, 2);
  // An in point past the end plays nothing; an out point past it plays to the end.
  trimmed.inPoint = 5000;
  Start(engine, 1, trimmed);
  trimmed.inPoint.reset();
  trimmed.outPoint = 90000;
  trimmed.loops = 1;
  Start(engine, 1, trimmed);
  EXPECT_EQ(SoundingFrames(MixFrames(engine, 5000)), 1000u);
}

TEST(Mixer, SyncStopAndNoMultiple) {
  audio::SoundEngine engine(nullptr);
  engine.DefineSound(1, Constant(1000, 44100));
  engine.DefineSound(2, Constant(500, 44100));
  const audio::VoiceId first = Start(engine, 1);
  Start(engine, 2);
  format::SoundInfo once;
  once.syncNoMultiple = true;
  EXPECT_EQ(Start(engine, 1, once), 0u);
  EXPECT_EQ(MixFrames(engine, 10)[0], 1500);
  format::SoundInfo stop;
  stop.syncStop = true;
  EXPECT_EQ(Start(engine, 1, stop), 0u);
  EXPECT_FALSE(engine.Playing(first));
  EXPECT_EQ(MixFrames(engine, 10)[0], 500);  // the other sound plays on
  EXPECT_NE(Start(engine, 1, once), 0u);     // none plays now
  EXPECT_TRUE(engine.TakeFinished().empty());  // stopped voices did not finish
  EXPECT_EQ(Start(engine, 99), 0u);            // no such sound
}

TEST(Mixer, EnvelopesMoveEachChannelsLevel) {
  audio::SoundEngine engine(nullptr);
  engine.DefineSound(1, Constant(10000, 44100));
  format::SoundInfo info;
  info.envelope = {{0, 0, 32768}, {44100, 32768, 0}};
  Start(engine, 1, info);
  const auto out = MixFrames(engine, 44100);
  EXPECT_NEAR(out[100 * 2], 23, 2);
  EXPECT_NEAR(out[100 * 2 + 1], 9977, 2);
  EXPECT_NEAR(out[22050 * 2], 5000, 2);
  EXPECT_NEAR(out[22050 * 2 + 1], 5000, 2);
  // Past the last point the level holds; before the first it is the first's.
  info.envelope = {{1000, 16384, 16384}, {2000, 32768, 32768}};
  Start(engine, 1, info);
  const auto held = MixFrames(engine, 3000);
  EXPECT_EQ(held[10 * 2], 5000);
  EXPECT_EQ(held[2500 * 2], 10000);
}

TEST(Mixer, TransformsMuteAndTheVoiceBound) {
  audio::SoundEngine engine(nullptr);
  engine.DefineSound(1, Constant(10000, 44100));
  const audio::SoundOwner clip = 42;
  engine.SetTransform(clip, audio::SoundTransform::Panned(-100, 100));
  engine.Start({1, {}, clip});
  auto out = MixFrames(engine, 10);
  EXPECT_EQ(out[0], 10000);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(engine.Transform(clip).Pan(), -100);
  // The movie's transform applies over the clip's.
  engine.SetTransform(audio::kMovieOwner, {100, 0, 0, 100, 50});
  out = MixFrames(engine, 10);
  EXPECT_EQ(out[0], 5000);
  // Cross gains send the left to the right.
  engine.SetTransform(clip, {0, 100, 0, 0, 100});
  EXPECT_EQ(MixFrames(engine, 10)[1], 5000);
  engine.StopOwner(clip);
  EXPECT_EQ(engine.VoiceCount(), 0u);

  engine.SetTransform(audio::kMovieOwner, {});
  Start(engine, 1);
  engine.SetMuted(true);
  EXPECT_EQ(Peak(MixFrames(engine, 44100), 0, 0, 44100), 0);
  EXPECT_EQ(engine.VoiceCount(), 0u);  // time went on: the muted sound played out
  engine.SetMuted(false);

  for (int i = 0; i < 40; ++i) Start(engine, 1);
  EXPECT_EQ(engine.VoiceCount(), audio::kMaxVoices);
}

TEST(Mixer, PositionDurationAndStartOffsetForScripts) {
  audio::SoundEngine engine(nullptr);
  engine.DefineSound(1, Constant(1000, 22050, 2));  // one second at 22 kHz
  EXPECT_EQ(engine.DurationMs(1), 1000u);
  EXPECT_FALSE(engine.DurationMs(2));
  const audio::VoiceId voice = engine.StartAt(1, 0.25, 2, audio::kMovieOwner);
  MixFrames(engine, 22050);
  EXPECT_EQ(engine.PositionMs(voice), 750u);
  MixFrames(engine, 22050);
  EXPECT_EQ(engine.PositionMs(voice), 500u);  // into its second loop
  // Two loops of 0.75 s at twice the rate: 66,150 samples, 44,100 of them mixed already.
  EXPECT_NEAR(static_cast<double>(SoundingFrames(MixFrames(engine, 44100))), 22050, 3);
  EXPECT_EQ(engine.PositionMs(voice), 0u);
  EXPECT_EQ(engine.TakeFinished(), std::vector<audio::VoiceId>{voice});
}

}  // namespace
