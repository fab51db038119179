// Frame scripts steering timelines through the whole player: each frame-control action as the
// Flash Player carries it out; their order within a tick; SetTarget paths; a stopped sprite in
// a playing root; gotos that equal playing; a script that runs away.
#include <gtest/gtest.h>

#include "flash_player_support.h"
#include <chrono>

#include "swfplayer/player/DisplayObject.h"
#include "swfplayer/player/Timeline.h"
#include "standin/flash/control/MoviePlayback.h"

namespace swfplayer::player {
namespace {

using testing::LoadMovie;
using tools::SwfActions;
using tools::SwfMovieBuilder;
using tools::SwfPlace;
using tools::SwfTags;

// A ten-frame root with the label "seven" on frame 7 and the block on frame 2 (from 0); the
// root's frames over the first ticks.
std::vector<int> RootFrames(const SwfActions& block, int ticks = 6) {
  SwfMovieBuilder movie;
  for (int frame = 0; frame < 10; ++frame) {
    if (frame == 2) movie.DoAction(block);
    if (frame == 7) movie.Label("seven");
    movie.ShowFrame();
  }
  auto player = LoadMovie(movie);
  std::vector<int> frames;
  for (int i = 0; i < ticks; ++i, player->Advance()) frames.push_back(player->CurrentFrame());
  return frames;
}

TEST(FlashFrameActions, EachActionSteersTheTimelineAsTheFlashPlayerDoes) {
  struct Case {
    SwfActions block;
    std::vector<int> frames;
  };
  const Case cases[] = {
      {SwfActions().Stop(), {0, 1, 2, 2, 2, 2}},
      {SwfActions().Stop().Play(), {0, 1, 2, 3, 4, 5}},             // in the order they stand
      {SwfActions().GotoFrame(6), {0, 1, 6, 6, 6, 6}},              // a goto stops
      {SwfActions().GotoFrame(6).Play(), {0, 1, 6, 7, 8, 9}},
      {SwfActions().GotoFrame(0).Play(), {0, 1, 0, 1, 0, 1}},
      {SwfActions().GotoLabel("SEVEN"), {0, 1, 7, 7, 7, 7}},        // labels ignore case
      {SwfActions().GotoLabel("eight"), {0, 1, 2, 3, 4, 5}},        // no such label
      {SwfActions().NextFrame(), {0, 1, 3, 3, 3, 3}},
      {SwfActions().PrevFrame(), {0, 1, 1, 1, 1, 1}},
      {SwfActions().GotoFrame(9).Play().NextFrame(), {0, 1, 9, 9, 9, 9}},  // none past the last: it stops
      {SwfActions().PushString("seven").GotoFrame2(true), {0, 1, 7, 8, 9, 0}},
      {SwfActions().PushString("5").GotoFrame2(false), {0, 1, 4, 4, 4, 4}},  // frame 5, from 1
      {SwfActions().PushInteger(3).GotoFrame2(false, 2), {0, 1, 4, 4, 4, 4}},  // with scene bias
      {SwfActions().PushDouble(99).GotoFrame2(false), {0, 1, 9, 9, 9, 9}},    // to the last
      {SwfActions().PushInteger(0).GotoFrame2(false), {0, 1, 2, 3, 4, 5}},    // below frame 1
      {SwfActions().PushString("nowhere").GotoFrame2(true), {0, 1, 2, 3, 4, 5}},
      {SwfActions().SetTarget("nosuch").Stop(), {0, 1, 2, 3, 4, 5}},  // steers nothing
      {SwfActions().SetTarget("nosuch").SetTarget("").Stop(), {0, 1, 2, 2, 2, 2}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(RootFrames(cases[i].block), cases[i].frames) << "case " << i;
}

TEST(FlashFrameActions, TheFrameAGotoLandsOnRunsItsOwnActions) {
  SwfMovieBuilder movie;
  movie.DoAction(SwfActions().GotoFrame(3).Play());  // frame 0's actions run at load
  movie.ShowFrame();
  movie.ShowFrame();
  movie.ShowFrame();
  movie.DoAction(SwfActions().Stop());
  movie.ShowFrame();
  movie.ShowFrame();
  auto player = LoadMovie(movie);
  ASSERT_TRUE(player);
  EXPECT_EQ(player->CurrentFrame(), 3);
  player->Advance();
  EXPECT_EQ(player->CurrentFrame(), 3);
}

// The root places sprite "a" at depth 1 holding sprite "b"; each timeline has `frames` frames.
struct Tree {
  std::unique_ptr<Player> player;
  Timeline& Root() { return player->Root(); }
  Timeline& A() { return *Root().DisplayList().at(1)->Sprite(); }
  Timeline& B() { return *A().DisplayList().at(1)->Sprite(); }
};

Tree MakeTree(const SwfActions& rootBlock, const SwfActions& bBlock, int version = 8) {
  SwfMovieBuilder movie;
  SwfTags b;
  b.DoAction(bBlock);
  for (int i = 0; i < 4; ++i) b.ShowFrame();
  SwfPlace inner;
  inner.character = movie.DefineSprite(b);
  inner.name = "b";
  SwfTags a;
  a.Place(inner);
  for (int i = 0; i < 4; ++i) a.ShowFrame();
  SwfPlace outer;
  outer.character = movie.DefineSprite(a);
  outer.name = "a";
  movie.Place(outer);
  movie.DoAction(rootBlock);
  for (int i = 0; i < 4; ++i) movie.ShowFrame();
  tools::SwfOptions options;
  options.version = static_cast<uint8_t>(version);
  return {testing::LoadBytes(movie.Finish(options))};
}

TEST(FlashFrameActions, SetTargetFollowsPathsFromTheRootTheTimelineAndItsParent) {
  struct Case {
    std::string path;
    bool fromB;       // the block is b's; otherwise the root's
    int stopped;      // 0 root, 1 a, 2 b; -1 none
    int version = 8;  // names compare exactly from SWF 7 on
  };
  const Case cases[] = {
      {"a", false, 1},  {"/a/b", false, 2}, {"a/b", false, 2}, {"/", false, 0}, {"A", false, -1},
      {"A", false, 1, 6}, {"..", true, 1},  {"../..", true, 0}, {"/a", true, 1}, {"_root", true, 0},
      {"_parent/b", true, 2}, {"b", true, -1},
  };
  for (const Case& c : cases) {
    const SwfActions steer = SwfActions().SetTarget(c.path).Stop();
    Tree tree = MakeTree(c.fromB ? SwfActions() : steer, c.fromB ? steer : SwfActions(), c.version);
    ASSERT_TRUE(tree.player);
    const bool playing[] = {tree.Root().Playing(), tree.A().Playing(), tree.B().Playing()};
    for (int t = 0; t < 3; ++t) EXPECT_EQ(playing[t], t != c.stopped) << c.path << " timeline " << t;
  }
}

TEST(FlashFrameActions, AFramesScriptsRunInTheOrderOfItsTags) {
  // The root's frame places a (which places b) before its own DoAction: b's first frame,
  // which stops it, runs first, and the root's script after it plays b again.
  Tree later = MakeTree(SwfActions().SetTarget("a/b").Play(), SwfActions().Stop());
  EXPECT_TRUE(later.B().Playing());
  Tree deep = MakeTree(SwfActions().Play(), SwfActions().SetTarget("/").Stop());
  EXPECT_TRUE(deep.Root().Playing());
  Tree stopped = MakeTree(SwfActions(), SwfActions().SetTarget("/").Stop());
  EXPECT_FALSE(stopped.Root().Playing());
}

TEST(FlashFrameActions, AStoppedSpriteStaysOnItsFrameWhileTheRootPlaysAndLoops) {
  Tree tree = MakeTree(SwfActions(), SwfActions().Stop());
  std::vector<int> root, b;
  for (int i = 0; i < 6; ++i, tree.player->Advance()) {
    root.push_back(tree.Root().CurrentFrame());
    b.push_back(tree.B().CurrentFrame());
  }
  EXPECT_EQ(root, (std::vector<int>{0, 1, 2, 3, 0, 1}));
  EXPECT_EQ(b, (std::vector<int>{0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(tree.A().CurrentFrame(), 2);  // six ticks: kept across the root's loop, playing
}

using Snapshot = std::vector<std::tuple<int32_t, uint16_t, Matrix>>;

Snapshot Snap(const Timeline& timeline) {
  Snapshot out;
  for (const auto& [depth, object] : timeline.DisplayList()) {
    out.emplace_back(depth, object->CharacterId(), object->LocalMatrix());
  }
  return out;
}

TEST(FlashFrameActions, GotosBackwardAndForwardShowWhatPlayingThereShows) {
  // Five frames whose display lists differ: frame f places a shape at depth f and moves depth 1.
  auto build = [](std::optional<std::pair<int, int>> jump) {
    SwfMovieBuilder movie;
    tools::SwfShape shape;
    shape.fills = {tools::SwfFill::Solid({1, 2, 3})};
    shape.Style(0, 1, std::nullopt, std::nullopt).Rectangle(0, 0, 100, 100);
    const uint16_t square = movie.DefineShape(shape);
    for (int frame = 0; frame < 5; ++frame) {
      SwfPlace place;
      place.depth = static_cast<uint16_t>(frame + 1);
      place.character = square;
      movie.Place(place);
      SwfPlace move;
      move.move = true;
      move.matrix = tools::SwfMatrix::Translate(frame * 10, 0);
      movie.Place(move);
      if (frame == 3) movie.Remove(2);
      if (jump && jump->first == frame) movie.DoAction(SwfActions().GotoFrame(static_cast<uint16_t>(jump->second)));
      movie.ShowFrame();
    }
    return LoadMovie(movie);
  };
  auto reference = build(std::nullopt);
  std::vector<Snapshot> played;
  for (int f = 0; f < 5; ++f, reference->Advance()) played.push_back(Snap(reference->Root()));
  for (int from = 0; from < 5; ++from) {
    for (int to = 0; to < 5; ++to) {
      if (from == to) continue;
      auto player = build(std::pair{from, to});
      for (int i = 0; i < from; ++i) player->Advance();
      EXPECT_EQ(player->CurrentFrame(), to);
      EXPECT_EQ(Snap(player->Root()), played[to]) << from << " -> " << to;
    }
  }
}

// Ten frames, each showing a 4 px bar of its own at x = 4f px, green 20f; the block on frame
// blockFrame and the label "end" on frame 8.
std::vector<uint8_t> BarMovie(int blockFrame, const SwfActions& block) {
  SwfMovieBuilder movie;
  for (int frame = 0; frame < 10; ++frame) {
    tools::SwfShape bar;
    bar.fills = {tools::SwfFill::Solid({0, static_cast<uint8_t>(20 * frame), 0})};
    bar.Style(0, 1, std::nullopt, std::nullopt).Rectangle(frame * 80, 0, 80, 200);
    SwfPlace place;
    place.character = movie.DefineShape(bar);
    movie.Place(place);  // replaces the bar of the frame before
    if (frame == blockFrame) movie.DoAction(block);
    if (frame == 8) movie.Label("end");
    movie.ShowFrame();
  }
  tools::SwfOptions options;
  options.widthPixels = 40;
  options.heightPixels = 10;
  return movie.Finish(options);
}

TEST(FlashFrameActions, TheMovieStopsOnFrameThreeOfTenAndTheControlReportsIt) {
  swfsaver::flash::MoviePlayback playback;
  playback.Load(testing::LoadBytes(BarMovie(2, SwfActions().Stop())));
  playback.Play();
  for (int tick = 0; tick < 25; ++tick) playback.Advance();
  EXPECT_EQ(playback.TotalFrames(), 10);
  EXPECT_EQ(playback.CurrentFrame(), 2);
  const testing::StagePixels stage = testing::DrawLow(*playback.Movie());
  EXPECT_EQ(stage.At(9, 5), testing::Opaque(0, 40, 0));
  EXPECT_EQ(stage.At(7, 5), testing::Opaque(255, 255, 255));
  EXPECT_EQ(stage.At(12, 5), testing::Opaque(255, 255, 255));
}

TEST(FlashFrameActions, AJumpToALabelShowsThatFrameAndPlaysOn) {
  auto player = testing::LoadBytes(BarMovie(1, SwfActions().PushString("end").GotoFrame2(true)));
  ASSERT_TRUE(player);
  player->Advance();  // frame 1 jumps to frame 8
  EXPECT_EQ(player->CurrentFrame(), 8);
  const testing::StagePixels stage = testing::DrawLow(*player);
  EXPECT_EQ(stage.At(33, 5), testing::Opaque(0, 160, 0));
  EXPECT_EQ(stage.At(5, 5), testing::Opaque(255, 255, 255));  // frame 1's bar is gone
  player->Advance();
  EXPECT_EQ(testing::DrawLow(*player).At(37, 0), testing::Opaque(0, 180, 0));
}

TEST(FlashFrameActionBounds, AScriptThatRunsAwayIsAbandonedAndTheMoviePlaysOn) {
  SwfMovieBuilder movie;
  SwfTags content;  // a sprite whose first frame loops for good
  content.DoAction(SwfActions().Code(0x99, {0xFB, 0xFF}));
  content.ShowFrame();
  content.ShowFrame();
  SwfPlace place;
  place.character = movie.DefineSprite(content);
  movie.Place(place);
  movie.ShowFrame();
  movie.ShowFrame();
  const auto started = std::chrono::steady_clock::now();
  auto player = LoadMovie(movie);
  ASSERT_TRUE(player);
  // The sprite's loop spends each tick's budget when it enters its first frame; the rest of the
  // tick is abandoned, and the next tick plays on.
  for (const int expected : {1, 0, 1}) {
    player->Advance();
    EXPECT_EQ(player->CurrentFrame(), expected);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(8));
}

}  // namespace
}  // namespace swfplayer::player
