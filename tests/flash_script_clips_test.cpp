// Scripts steering clips through the whole player: what a rewind keeps of the clips scripts
// made or moved, frames past the header's count, the drawing API against the renderer, and
// the geometry methods on a drawn clip.
#include <gtest/gtest.h>

#include "avm1_script.h"
#include "flash_player_support.h"

namespace swfplayer::player {
namespace {

using avm1::testing::ScriptAssembler;
using testing::DrawLow;
using testing::LoadBytes;
using testing::Opaque;
using tools::SwfMovieBuilder;

constexpr uint16_t kDoAction = 12;

void Script(SwfMovieBuilder& movie, const std::string& text) { movie.Tag(kDoAction, ScriptAssembler::Assemble(text)); }

std::vector<std::string> Play(const SwfMovieBuilder& movie, int ticks, std::optional<uint16_t> headerFrames = std::nullopt) {
  std::shared_ptr<tools::FixedHost> host;
  tools::SwfOptions options;
  options.version = 7;  // getInstanceAtDepth
  auto player = LoadBytes(movie.Finish(options, headerFrames), &host);
  for (int i = 0; i < ticks; ++i) player->Advance();
  return host->traces;
}

// Makes an empty clip named name at an ActionScript depth.
std::string MakeClip(const std::string& name, int depth) {
  return "push " + std::to_string(depth) + " \"" + name + "\" 2 \"_root\"\ngetvariable\npush \"createEmptyMovieClip\"\ncallmethod\npop\n";
}

std::string TraceTypeOf(const std::string& name) {
  return "push \"" + name + "\"\ngetvariable\ntypeof\ntrace\n";
}

// A two-frame root loops: what scripts made below ActionScript's depth 0 goes with each loop,
// what they made from 0 up stays.
TEST(FlashScriptClips, TheLoopRebuildsOnlyTheTimelinesOwnDepths) {
  SwfMovieBuilder movie;
  Script(movie, R"(
    push "made"
    getvariable
    not
    if first
    jump done
    first:
    push "made" true
    setvariable
  )" + MakeClip("low", -5) + MakeClip("high", 5) + R"(
    done:
  )" + TraceTypeOf("low") + TraceTypeOf("high"));
  movie.ShowFrame();
  movie.ShowFrame();
  EXPECT_EQ(Play(movie, 2),
            (std::vector<std::string>{"movieclip", "movieclip", "undefined", "movieclip"}));
}

std::string TraceNameAtDepth(int depth) {
  return "push " + std::to_string(depth) + " 1 \"_root\"\ngetvariable\npush \"getInstanceAtDepth\"\ncallmethod\n"
         "push \"_name\"\ngetmember\ntrace\n";
}

// A timeline clip a script swapped up to depth 5 outlives the loop; the loop places a new one
// at the timeline's depth, and both answer to the same name and path.
TEST(FlashScriptClips, ATimelineClipSwappedUpOutlivesTheLoop) {
  SwfMovieBuilder movie;
  tools::SwfTags content;
  content.ShowFrame();
  const uint16_t sprite = movie.DefineSprite(content);
  tools::SwfPlace place;
  place.character = sprite;
  place.name = "star";
  movie.Place(place);
  Script(movie, R"(
    push "swapped"
    getvariable
    if done
    push "swapped" true
    setvariable
    push 5 1 "star"
    getvariable
    push "swapDepths"
    callmethod
    pop
    done:
  )" + TraceNameAtDepth(-16383) + TraceNameAtDepth(5) + R"(
    push -16383 1 "_root"
    getvariable
    push "getInstanceAtDepth"
    callmethod
    push 5 1 "_root"
    getvariable
    push "getInstanceAtDepth"
    callmethod
    strictequals
    trace
  )");
  movie.ShowFrame();
  movie.ShowFrame();
  EXPECT_EQ(Play(movie, 2), (std::vector<std::string>{"undefined", "star", "false", "star", "star", "true"}));
}

// The Flash Player plays the frames a file holds, also past a header's count that is too low.
TEST(FlashScriptClips, FramesPastTheHeadersCountArePlayed) {
  SwfMovieBuilder movie;
  for (int frame = 1; frame <= 4; ++frame) {
    Script(movie, "push \"_currentframe\"\ngetvariable\ntrace\n");
    movie.ShowFrame();
  }
  EXPECT_EQ(Play(movie, 5, /*headerFrames=*/2),
            (std::vector<std::string>{"1", "2", "3", "4", "1", "2"}));
}

// A red square drawn with a fill and a green stroke: drawn by the renderer where the script put
// it, bounded as drawn, and gone after clear().
TEST(FlashScriptClips, TheDrawingApiDrawsThroughTheRenderer) {
  SwfMovieBuilder movie;
  const std::string draw = MakeClip("d", 1) + R"(
    push 100 16711680 2 "d"
    getvariable
    push "beginFill"
    callmethod
    pop
    push 10 10 2 "d"
    getvariable
    push "moveTo"
    callmethod
    pop
    push 50 10 2 "d"
    getvariable
    push "lineTo"
    callmethod
    pop
    push 50 50 2 "d"
    getvariable
    push "lineTo"
    callmethod
    pop
    push 10 50 2 "d"
    getvariable
    push "lineTo"
    callmethod
    pop
    push 0 "d"
    getvariable
    push "endFill"
    callmethod
    pop
    push 0 "d"
    getvariable
    push "getBounds"
    callmethod
    storeregister 1
    push "xMin"
    getmember
    trace
    push r:1 "yMax"
    getmember
    trace
    push 30 30 2 "d"
    getvariable
    push "hitTest"
    callmethod
    trace
    push 60 30 2 "d"
    getvariable
    push "hitTest"
    callmethod
    trace
  )";
  Script(movie, draw);
  movie.ShowFrame();
  Script(movie, R"(
    push 0 "d"
    getvariable
    push "clear"
    callmethod
    pop
    stop
  )");
  movie.ShowFrame();
  std::shared_ptr<tools::FixedHost> host;
  auto player = LoadBytes(movie.Finish({}), &host);
  EXPECT_EQ(host->traces, (std::vector<std::string>{"10", "50", "true", "false"}));
  const testing::StagePixels drawn = DrawLow(*player);
  EXPECT_EQ(drawn.At(30, 30), Opaque(255, 0, 0));
  EXPECT_EQ(drawn.At(5, 5), drawn.At(60, 60));  // the background, outside the square
  player->Advance();
  const testing::StagePixels cleared = DrawLow(*player);
  EXPECT_EQ(cleared.At(30, 30), cleared.At(60, 60));
}

// A filled square drawn in clip from (a, a) to (b, b).
std::string Square(const std::string& clip, int a, int b, int rgb) {
  auto call = [&](const std::string& args, int count, const std::string& method) {
    return "push " + args + " " + std::to_string(count) + " \"" + clip + "\"\ngetvariable\npush \"" + method +
           "\"\ncallmethod\npop\n";
  };
  const std::string sa = std::to_string(a);
  const std::string sb = std::to_string(b);
  return call("100 " + std::to_string(rgb), 2, "beginFill") + call(sa + " " + sa, 2, "moveTo") +
         call(sa + " " + sb, 2, "lineTo") + call(sb + " " + sb, 2, "lineTo") + call(sb + " " + sa, 2, "lineTo") +
         call("", 0, "endFill");
}

// setMask: the clip shows only where its mask draws, and the mask itself is not drawn.
TEST(FlashScriptClips, ASetMaskShowsTheClipOnlyUnderItsMask) {
  SwfMovieBuilder movie;
  Script(movie, MakeClip("d", 1) + MakeClip("m", 2) + Square("d", 10, 50, 0xFF0000) + Square("m", 30, 70, 0x0000FF) + R"(
    push "m"
    getvariable
    push 1 "d"
    getvariable
    push "setMask"
    callmethod
    pop
  )");
  movie.ShowFrame();
  auto player = LoadBytes(movie.Finish({}));
  const testing::StagePixels stage = DrawLow(*player);
  const uint32_t background = stage.At(5, 5);
  EXPECT_EQ(stage.At(40, 40), Opaque(255, 0, 0));
  EXPECT_EQ(stage.At(20, 20), background);  // the square outside its mask
  EXPECT_EQ(stage.At(60, 60), background);  // the mask, not drawn
}

}  // namespace
}  // namespace swfplayer::player
