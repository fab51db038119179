// Sound in the player: event sounds start with the frames that carry them (root, sprites,
// StartSound2 by class name), a stream keeps its timeline in step frame by frame, restarts at
// jumps and stops with its timeline, the control's playback catches up with the sound, and the
// music sample sounds its melody.
#include <gtest/gtest.h>

#include "standin/flash/control/MoviePlayback.h"
#include "swfplayer/audio/native/Mpg123Decoder.h"
#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Timeline.h"
#include "tests/audio_test_support.h"
#include "tests/avm1_script.h"
#include "tests/flash_player_support.h"
#include "tools/MusicSample.h"
#include "tools/SampleMovies.h"

namespace {

using namespace swfplayer;
using namespace swfsaver::testing;
using tools::SwfSoundCodec;

constexpr int kFps = 25;
constexpr size_t kPerFrame = audio::kOutputRate / kFps;  // 1764

// A root of frames frames streaming 44 kHz PCM: frame k's block holds (k + 1) * 100 throughout.
tools::SwfMovieBuilder StreamMovie(int frames, int stopAt = -1) {
  tools::SwfMovieBuilder movie;
  const tools::SwfSoundFormat pcm{SwfSoundCodec::kPcmLittle, 3, true, false};
  movie.SoundStreamHead(1, pcm, pcm, kPerFrame);
  for (int k = 0; k < frames; ++k) {
    movie.SoundStreamBlock(tools::Pcm16(std::vector<int16_t>(kPerFrame, static_cast<int16_t>((k + 1) * 100)), false));
    if (k == stopAt) movie.DoAction(tools::SwfActions().Stop());
    movie.ShowFrame();
  }
  return movie;
}

std::unique_ptr<player::Player> Load(const tools::SwfMovieBuilder& movie) {
  tools::SwfOptions options;
  options.frameRate = tools::FrameRate(kFps);
  return swfplayer::testing::LoadBytes(movie.Finish(options));
}

TEST(SoundPlayer, AStreamOfNFramesKeepsNFramesInStep) {
  const int frames = 50;
  auto movie = Load(StreamMovie(frames));
  for (int k = 0; k < frames; ++k) {
    ASSERT_EQ(movie->CurrentFrame(), k);
    const auto out = MixFrames(*movie->Sound(), kPerFrame);
    // Every sample of this frame's stretch is this frame's block, on both sides.
    EXPECT_EQ(out.front(), (k + 1) * 100);
    EXPECT_EQ(out[(kPerFrame - 1) * 2 + 1], (k + 1) * 100);
    const auto lead = movie->StreamLead();
    ASSERT_EQ(lead.has_value(), k + 1 < frames);
    // After the last block the stream has played out: no lead is reported.
    if (lead) {
      EXPECT_NEAR(*lead, 1.0, 1e-9);
    }
    movie->Advance();
  }
  // Looped to the first frame: the stream starts again with it.
  EXPECT_EQ(movie->CurrentFrame(), 0);
  EXPECT_EQ(MixFrames(*movie->Sound(), kPerFrame).front(), 100);
}

TEST(SoundPlayer, AStreamStopsWithItsTimelineAndFollowsJumps) {
  auto movie = Load(StreamMovie(20, 9));
  for (int k = 0; k < 9; ++k) {
    MixFrames(*movie->Sound(), kPerFrame);
    movie->Advance();
  }
  EXPECT_EQ(movie->CurrentFrame(), 9);
  EXPECT_FALSE(movie->Sound()->StreamPlaying(movie->Root().Owner().Serial()));
  EXPECT_EQ(Peak(MixFrames(*movie->Sound(), kPerFrame), 0, 0, kPerFrame), 0);
  // Played again from where it stands, after a jump: the stream starts with that frame.
  movie->Root().Goto(15);
  movie->Root().SetPlaying(true);
  EXPECT_EQ(MixFrames(*movie->Sound(), 10).front(), 1600);
  movie->Root().SetPlaying(false);
  movie->Advance();
  movie->Root().SetPlaying(true);
  movie->Advance();
  EXPECT_EQ(MixFrames(*movie->Sound(), 10).front(), 1700);
}

TEST(SoundPlayer, PlaybackSkipsTheFramesTheSoundHasPassedButNeverTheLast) {
  swfsaver::flash::MoviePlayback playback;
  playback.Load(Load(StreamMovie(30)));
  playback.Play();
  // In step: one frame's sound per tick, one frame per tick.
  for (int k = 1; k <= 5; ++k) {
    MixFrames(*playback.Movie()->Sound(), kPerFrame);
    playback.Advance();
    EXPECT_EQ(playback.CurrentFrame(), k);
  }
  // The picture gets three frames' time per tick: it keeps up with the sound by skipping.
  std::vector<int> seen;
  for (int tick = 0; tick < 12; ++tick) {
    MixFrames(*playback.Movie()->Sound(), 3 * kPerFrame);
    playback.Advance();
    seen.push_back(playback.CurrentFrame());
    const auto lead = playback.Movie()->StreamLead();
    if (lead && playback.CurrentFrame() != 29) {
      EXPECT_LT(*lead, 2.0);
    }
  }
  // The sound is at 8 frames, 11, ...: the picture one frame behind it, within the output's
  // buffering.
  EXPECT_EQ(seen[0], 7);
  EXPECT_EQ(seen[1], 10);
  EXPECT_NE(std::find(seen.begin(), seen.end(), 29), seen.end()) << "the last frame was skipped";
}

TEST(SoundPlayer, EventSoundsStartWithTheirFramesInRootAndSprites) {
  tools::SwfMovieBuilder movie;
  const uint16_t beep = movie.DefineSound({SwfSoundCodec::kPcmLittle, 3, true, false}, 44100,
                                          tools::Pcm16(std::vector<int16_t>(44100, 1000), false));
  movie.ExportName(beep, "Beep", 76);
  tools::SwfTags sprite;
  sprite.ShowFrame();
  sprite.StartSound(beep);
  sprite.DoAction(tools::SwfActions().Stop());
  sprite.ShowFrame();
  const uint16_t clip = movie.DefineSprite(sprite);
  movie.PlaceV1(clip, 1, {});
  movie.ShowFrame();
  movie.ShowFrame();                    // frame 1: the sprite enters its second frame
  movie.StartSound2("Beep");            // frame 2: by class name
  movie.ShowFrame();
  tools::SwfSoundInfo stop;
  stop.syncStop = true;
  movie.StartSound(beep, stop);         // frame 3: every instance stops
  movie.ShowFrame();
  auto player = Load(movie);
  audio::SoundEngine& engine = *player->Sound();
  EXPECT_EQ(engine.VoiceCount(), 0u);
  player->Advance();
  EXPECT_EQ(engine.VoiceCount(), 1u);
  EXPECT_EQ(MixFrames(engine, 10).front(), 1000);
  player->Advance();
  EXPECT_EQ(engine.VoiceCount(), 2u);
  EXPECT_EQ(MixFrames(engine, 10).front(), 2000);
  player->Advance();
  EXPECT_EQ(engine.VoiceCount(), 0u);
  EXPECT_EQ(player->SoundSchedule().SoundByName("Beep"), beep);
}

TEST(SoundPlayer, MusicSampleSoundsItsMelodyWithTheChimeOnTheRight) {
  const auto& sample = *std::find_if(tools::SampleMovies().begin(), tools::SampleMovies().end(),
                                     [](const auto& s) { return s.name.rfind("music_notes", 0) == 0; });
  image::NativeImageDecoder images;
  audio::Mpg123DecoderSource mp3;
  auto load = player::Player::Load(sample.Bytes(), images, {.mp3 = &mp3});
  ASSERT_TRUE(load.ok());
  std::vector<int16_t> out;
  for (int frame = 0; frame < sample.options.frameCount; ++frame) {
    const auto chunk = MixFrames(*load.player->Sound(), kPerFrame);
    out.insert(out.end(), chunk.begin(), chunk.end());
    load.player->Advance();
  }
  const auto& notes = tools::MusicSampleNotes();
  const size_t noteFrames = out.size() / 2 / notes.size();
  for (size_t i = 0; i < notes.size(); ++i) {
    SCOPED_TRACE(i);
    const size_t from = i * noteFrames + noteFrames / 5, to = (i + 1) * noteFrames - noteFrames / 5;
    EXPECT_NEAR(PitchHz(out, 0, from, to), notes[i], notes[i] * 0.015);
    // The chime rings on each beat (every second note), on the right only.
    const size_t onset = i * noteFrames + 100;
    if (i % 2 == 0) {
      EXPECT_GT(Peak(out, 1, onset, onset + 2000), Peak(out, 0, onset, onset + 2000) + 5000);
    } else {
      EXPECT_NEAR(Peak(out, 1, onset, onset + 2000), Peak(out, 0, onset, onset + 2000), 300);
    }
  }
}

}  // namespace

namespace {

TEST(SoundPlayer, AnUncompressedMovieKeptByItsCallerPlaysItsSoundFromTheFile) {
  tools::SwfOptions options;
  options.frameRate = tools::FrameRate(kFps);
  for (bool compressed : {false, true}) {
    options.compressed = compressed;
    const auto bytes = StreamMovie(10).Finish(options);
    const auto file = std::make_shared<std::vector<uint8_t>>(bytes);
    image::NativeImageDecoder images;
    auto load = player::Player::Load(*file, images, {.keeper = file});
    ASSERT_TRUE(load.ok());
    // Uncompressed: the sound refers to the file, which the player now holds; compressed: the
    // sound was copied and the file is the caller's alone again.
    EXPECT_EQ(file.use_count() > 1, !compressed);
    for (int k = 0; k < 10; ++k) {
      EXPECT_EQ(MixFrames(*load.player->Sound(), kPerFrame)[7], (k + 1) * 100);
      load.player->Advance();
    }
    load.player.reset();
    EXPECT_EQ(file.use_count(), 1);
  }
}

// Scripts steer exported sounds: a Sound made without a clip mixes the whole movie (half
// volume, panned left here), one made for a clip stops only that clip's sounds, onSoundComplete follows a
// sound that played out, and the StopSounds action silences everything.
TEST(SoundPlayer, ScriptsStartMixAndStopExportedSounds) {
  tools::SwfMovieBuilder movie;
  const tools::SwfSoundFormat pcm{SwfSoundCodec::kPcmLittle, 3, true, false};
  movie.ExportName(movie.DefineSound(pcm, 44100, tools::Pcm16(std::vector<int16_t>(44100, 1000), false)), "Beep");
  movie.ExportName(movie.DefineSound(pcm, 441, tools::Pcm16(std::vector<int16_t>(441, 1000), false)), "Tick");
  tools::SwfTags sprite;
  sprite.ShowFrame();
  tools::SwfPlace place;
  place.character = movie.DefineSprite(sprite);
  place.name = "clip";
  movie.Place(place);
  movie.Tag(12, avm1::testing::ScriptAssembler::Assemble(R"(
    push "s" 0 "Sound"
    newobject
    setvariable
    push "Beep" 1 "s"
    getvariable
    push "attachSound"
    callmethod
    pop
    push 50 1 "s"
    getvariable
    push "setVolume"
    callmethod
    pop
    push 0 "s"
    getvariable
    push "start"
    callmethod
    pop
    push "t" "clip" 1 "Sound"
    newobject
    setvariable
    push "Tick" 1 "t"
    getvariable
    push "attachSound"
    callmethod
    pop
    push "t"
    getvariable
    push "onSoundComplete"
    function -
      push "tick done"
      trace
    end
    setmember
    push 0 "t"
    getvariable
    push "start"
    callmethod
    pop
    push 0 "s"
    getvariable
    push "getVolume"
    callmethod
    trace
    push -40 1 "s"
    getvariable
    push "setPan"
    callmethod
    pop
    push 0 "s"
    getvariable
    push "getPan"
    callmethod
    trace
  )"));
  movie.ShowFrame();
  movie.Tag(12, avm1::testing::ScriptAssembler::Assemble(R"(
    push 0 "t"
    getvariable
    push "start"
    callmethod
    pop
    push 0 "t"
    getvariable
    push "stop"
    callmethod
    pop
  )"));
  movie.ShowFrame();
  tools::SwfActions stopSounds;
  movie.DoAction(stopSounds.StopSounds());
  movie.ShowFrame();
  std::shared_ptr<tools::FixedHost> host;
  tools::SwfOptions options;
  options.frameRate = tools::FrameRate(kFps);
  options.version = 8;
  auto player = swfplayer::testing::LoadBytes(movie.Finish(options), &host);
  audio::SoundEngine& engine = *player->Sound();
  EXPECT_EQ(host->traces, (std::vector<std::string>{"50", "-40"}));
  EXPECT_EQ(engine.VoiceCount(), 2u);
  const std::vector<int16_t> mixed = MixFrames(engine, 10);
  EXPECT_EQ(mixed[0], 1000);  // both at half volume, panned left: the right at 60%
  EXPECT_EQ(mixed[1], 600);
  MixFrames(engine, 1000);                      // the tick plays out
  player->Advance();  // the clip's Sound starts the tick again and stops it: the beep plays on
  EXPECT_EQ(host->traces, (std::vector<std::string>{"50", "-40", "tick done"}));
  EXPECT_EQ(engine.VoiceCount(), 1u);
  EXPECT_EQ(MixFrames(engine, 10)[0], 500);
  player->Advance();
  EXPECT_EQ(engine.VoiceCount(), 0u);
}

}  // namespace
