// The scripted samples play as a person watching them expects: the clock shows the host's time
// of day and keeps it, the snow and the sparks are made once and keep moving across the
// timeline's loop, the SWF 5 movie's Shift-JIS strings read as Japanese; and none of them
// uses anything the player lacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "flash_player_support.h"
#include "swfplayer/ansi/IconvAnsiDecoder.h"
#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/EditTextInstance.h"
#include "tools/SampleMovies.h"

namespace swfplayer::player {
namespace {

using avm1::DisplayProperty;

const tools::SampleMovie& Sample(const std::string& prefix) {
  for (const auto& sample : tools::SampleMovies()) {
    if (sample.name.starts_with(prefix)) return sample;
  }
  throw std::runtime_error("no sample " + prefix);
}

struct Played {
  std::shared_ptr<tools::FixedHost> host;
  std::unique_ptr<Player> player;

  // One frame period of the host's clock, then a tick.
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      host->elapsedMs += 1000.0 * 256 / player->Header().frameRate;
      player->Advance();
    }
  }
  avm1::Clip* Child(const std::u16string& name) const {
    return player->RootClip().ChildByName(name, true);
  }
  double Property(const std::u16string& name, DisplayProperty property) const {
    avm1::Clip* clip = Child(name);
    return clip ? clip->NumberProperty(property) : -1e9;
  }
  // The root's text fields' texts, from the lowest depth up.
  std::vector<std::u16string> FieldTexts() const {
    std::vector<std::u16string> texts;
    for (avm1::Clip* child : player->RootClip().Children()) {
      if (auto* field = static_cast<DisplayObject*>(child)->EditText()) texts.push_back(field->Text());
    }
    return texts;
  }
};

Played Play(const tools::SampleMovie& sample, const AnsiDecoder* ansi = nullptr) {
  Played played;
  played.host = std::make_shared<tools::FixedHost>();
  image::NativeImageDecoder decoder;
  PlayerLoad load = Player::Load(sample.Bytes(), decoder, {.ansi = ansi, .host = played.host});
  EXPECT_TRUE(load.ok());
  played.player = std::move(load.player);
  return played;
}

TEST(ScriptedSamples, NoneUsesWhatThePlayerLacks) {
  const IconvAnsiDecoder japanese("CP932");
  for (const char* name : {"clock_", "snow_", "sparks_", "japanese_"}) {
    Played played = Play(Sample(name), &japanese);
    ASSERT_TRUE(played.player) << name;
    std::vector<std::string> missing;
    played.host->onUnsupported = [&](std::string_view what) { missing.emplace_back(what); };
    played.Tick(300);
    EXPECT_TRUE(missing.empty()) << name << ": " << (missing.empty() ? "" : missing.front());
    EXPECT_TRUE(played.host->traces.empty()) << name;
  }
}

TEST(ScriptedSamples, TheClockShowsTheHostsTimeOfDayAndKeepsIt) {
  Played clock = Play(Sample("clock_"));
  ASSERT_TRUE(clock.player);
  // The fixed host's local time is 04:05:06 on 3 February 2001.
  EXPECT_DOUBLE_EQ(clock.Property(u"hourHand", DisplayProperty::kRotation), (4 + 5 / 60.0) * 30);
  EXPECT_DOUBLE_EQ(clock.Property(u"minuteHand", DisplayProperty::kRotation), (5 + 6 / 60.0) * 6);
  EXPECT_DOUBLE_EQ(clock.Property(u"secondHand", DisplayProperty::kRotation), 36);
  EXPECT_EQ(clock.FieldTexts(), (std::vector<std::u16string>{u"04:05:06", u"2001-02-03"}));
  // 12 minutes and 4 seconds later, across the timeline's loop (200 frames at 20 fps): the
  // hands and fields follow the clock, not the frame.
  clock.host->elapsedMs += 724'000 - 700 * 50;
  clock.Tick(700);
  EXPECT_EQ(clock.FieldTexts(), (std::vector<std::u16string>{u"04:17:10", u"2001-02-03"}));
  EXPECT_NEAR(clock.Property(u"hourHand", DisplayProperty::kRotation), (4 + 17 / 60.0) * 30, 1e-9);
  EXPECT_NEAR(clock.Property(u"secondHand", DisplayProperty::kRotation), 60, 1e-9);
}

TEST(ScriptedSamples, SnowIsMadeOnceAndFallsAcrossTheLoop) {
  Played snow = Play(Sample("snow_"));
  ASSERT_TRUE(snow.player);
  ASSERT_NE(snow.Child(u"f0"), nullptr);
  ASSERT_NE(snow.Child(u"f179"), nullptr);
  EXPECT_EQ(snow.Child(u"f180"), nullptr);
  const size_t objects = snow.player->DisplayObjects();
  const double y = snow.Property(u"f7", DisplayProperty::kY);
  snow.Tick();
  EXPECT_GT(snow.Property(u"f7", DisplayProperty::kY), y);
  // Past the 240-frame loop: the frame script ran again and made no second set; every flake
  // that fell out of the stage came back above it.
  snow.Tick(500);
  EXPECT_EQ(snow.player->DisplayObjects(), objects);
  double highest = 1e9, lowest = -1e9;
  for (int i = 0; i < 180; ++i) {
    std::string digits = std::to_string(i);
    const double at = snow.Property(u"f" + std::u16string(digits.begin(), digits.end()), DisplayProperty::kY);
    highest = std::min(highest, at);
    lowest = std::max(lowest, at);
  }
  EXPECT_GE(highest, -11);
  EXPECT_LE(lowest, 491);
  EXPECT_LT(highest, 100);  // spread over the stage, not bunched at the top or the foot
  EXPECT_GT(lowest, 380);
}

TEST(ScriptedSamples, SparksStayAboveTheFloorAndAreBornAgain) {
  Played sparks = Play(Sample("sparks_"));
  ASSERT_TRUE(sparks.player);
  EXPECT_NE(sparks.Child(u"p299"), nullptr);
  EXPECT_EQ(sparks.Child(u"p300"), nullptr);
  const double floor = 600 * 0.9;
  double lowestEver = 0;
  for (int tick = 0; tick < 240; ++tick) {
    sparks.Tick();
    for (int i = 0; i < 300; i += 7) {
      std::string digits = "p" + std::to_string(i);
      lowestEver = std::max(lowestEver, sparks.Property(std::u16string(digits.begin(), digits.end()),
                                                        DisplayProperty::kY));
    }
  }
  EXPECT_LE(lowestEver, floor);
  EXPECT_GT(lowestEver, floor - 60);  // some reached the floor and bounced
  // Each spark's tint is the emitter's colour when it was born: a Color's setRGB.
  const ColorTransform tint = sparks.Child(u"p3")->GetColorTransform();
  EXPECT_EQ(tint.mulR, 0);
  EXPECT_GT(tint.addR + tint.addG + tint.addB, 0);
}

TEST(ScriptedSamples, AnSwf5MoviesShiftJisStringsReadAsJapanese) {
  const IconvAnsiDecoder japanese("CP932");
  Played played = Play(Sample("japanese_"), &japanese);
  ASSERT_TRUE(played.player);
  EXPECT_EQ(played.player->Header().version, 5);
  // The title is the field's own text; the greeting and the date come from the frame script.
  EXPECT_EQ(played.FieldTexts(), (std::vector<std::u16string>{
                                     u"スクリーンセーバー", u"こんにちは、世界",
                                     u"2001年2月3日 土曜日"}));
}

}  // namespace
}  // namespace swfplayer::player
