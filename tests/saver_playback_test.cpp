// The saver window from creation to endless playback: what FormCreate leaves behind, the
// playlist after missing entries are dropped, the first activation, the layouts and the idle
// step that moves on after a 500 ms pause. Failures: saver_failures_test.cpp.
#include <gtest/gtest.h>

#include "saver/PlaybackRules.h"
#include "tests/saver_test_fixture.h"

namespace swfsaver::saver_test {
namespace {

class SaverPlayback : public SaverFixture {};

TEST_F(SaverPlayback, CreationCoversTheDisplayHidesCursorAndTaskbarButtonAndSetsTheFlag) {
  AddMovie("C:\\m\\a.swf");
  StoreSettings({"C:\\m\\a.swf"});
  fake.system.screenWidth = 1280;
  fake.system.screenHeight = 1024;
  Start();
  EXPECT_EQ(window->color, 0u);
  EXPECT_EQ(window->bounds, (fakes::Bounds{0, 0, 1280, 1024}));
  EXPECT_TRUE(window->visible);
  EXPECT_TRUE(window->panelAlignedToClient);
  EXPECT_EQ(fake.system.cursorCalls, (std::vector<bool>{false}));
  EXPECT_EQ(fake.system.screenSaverFlagCalls, (std::vector<bool>{true}));
  EXPECT_EQ(fake.system.ownerHidden, 1);
  EXPECT_EQ(form->MouseAnchorX, -1);
  EXPECT_EQ(form->MouseAnchorY, -1);
  EXPECT_EQ(MouseMoveGrace, 5);
  EXPECT_EQ(MouseMessageBudget, 10);
  EXPECT_TRUE(fake.application.messageBoxes.empty());
}

TEST_F(SaverPlayback, FourStoredEntriesWithAMissingAndAnEmptyOnePlayTheOtherTwoInTurn) {
  AddMovie("C:\\m\\second.swf");
  AddMovie("C:\\m\\fourth.swf");
  StoreSettings({"C:\\m\\gone.swf", "C:\\m\\second.swf", "", "C:\\m\\fourth.swf"});
  Start();
  EXPECT_EQ(*form->MovieList, (Strings{"C:\\m\\second.swf", "C:\\m\\fourth.swf"}));
  EXPECT_TRUE(MoviePlaying);
  for (int advance = 0; advance < 4; ++advance) PlayToEnd();
  EXPECT_EQ(MoviesLoaded(), (Strings{"C:\\m\\second.swf", "C:\\m\\fourth.swf", "C:\\m\\second.swf",
                                     "C:\\m\\fourth.swf", "C:\\m\\second.swf"}));
  EXPECT_EQ(form->CurrentIndex, 0);
  EXPECT_TRUE(fake.application.messageBoxes.empty());
}

TEST_F(SaverPlayback, EveryAdvanceWrapIncludedWaits500MsWithTheFinishedMovieStillShown) {
  AddMovie("C:\\m\\a.swf");
  AddMovie("C:\\m\\b.swf");
  StoreSettings({"C:\\m\\a.swf", "C:\\m\\b.swf"});
  Start();
  std::vector<std::string> shownDuringPause;
  fake.kernel.onSleep = [&](uint32_t) { shownDuringPause.push_back(window->flash.movie); };
  Frames(1);  // frame 1 of 3: not the last
  EXPECT_TRUE((fake.kernel.sleeps).empty());
  Frames(1);
  EXPECT_EQ(fake.kernel.sleeps, (std::vector<uint32_t>{500u}));
  EXPECT_EQ(form->CurrentIndex, 1);
  PlayToEnd();
  EXPECT_EQ(fake.kernel.sleeps, (std::vector<uint32_t>{500u, 500u}));
  EXPECT_EQ(form->CurrentIndex, 0);
  EXPECT_EQ(shownDuringPause, (Strings{"C:\\m\\a.swf", "C:\\m\\b.swf"}));
  EXPECT_EQ(MoviesLoaded(), (Strings{"C:\\m\\a.swf", "C:\\m\\b.swf", "C:\\m\\a.swf"}));
}

TEST_F(SaverPlayback, ASingleEntryIsLoadedAgainFromItsFirstFrameAfterEachPause) {
  AddMovie("C:\\m\\only.swf", 550, 400, 1);  // a single frame: the first poll finds the end
  StoreSettings({"C:\\m\\only.swf"});
  Start();
  fake.application.RunUntilIdle();
  fake.application.Post({window->Handle(), 0x0F});  // WM_PAINT
  fake.application.RunUntilIdle();
  EXPECT_EQ(fake.kernel.sleeps, (std::vector<uint32_t>{500u, 500u}));
  EXPECT_EQ(MoviesLoaded(), (Strings{"C:\\m\\only.swf", "C:\\m\\only.swf", "C:\\m\\only.swf"}));
  EXPECT_EQ(window->flash.currentFrame, 0);
  EXPECT_EQ(form->CurrentIndex, 0);
}

TEST_F(SaverPlayback, DuplicateEntriesPlayAtTheirStoredPositions) {
  AddMovie("C:\\m\\a.swf");
  AddMovie("C:\\m\\b.swf");
  StoreSettings({"C:\\m\\a.swf", "C:\\m\\a.swf", "C:\\m\\b.swf"});
  Start();
  PlayToEnd();
  PlayToEnd();
  PlayToEnd();
  EXPECT_EQ(MoviesLoaded(),
            (Strings{"C:\\m\\a.swf", "C:\\m\\a.swf", "C:\\m\\b.swf", "C:\\m\\a.swf"}));
}

TEST_F(SaverPlayback, AMovieAtItsOwnSizeIsCentredAfterTheHeaderIsRead) {
  AddMovie("C:\\m\\small.swf", 550, 400);
  AddMovie("C:\\m\\large.swf", 1101, 800);
  StoreSettings({"C:\\m\\small.swf", "C:\\m\\large.swf"});
  Start();
  EXPECT_EQ(window->flash.calls, (Strings{"BackgroundColor 0", "Left 237", "Top 184", "Width 550",
                                          "Height 400", "Movie C:\\m\\small.swf", "Play"}));
  EXPECT_EQ(fake.kernel.fileOpens, 1);
  window->flash.calls.clear();
  PlayToEnd();
  EXPECT_EQ(std::vector<std::string>(window->flash.calls.end() - 7, window->flash.calls.end()),
            (Strings{"BackgroundColor 0", "Left -38", "Top -16", "Width 1101", "Height 800",
                     "Movie C:\\m\\large.swf", "Play"}));
  EXPECT_FALSE(window->flash.alignedToClient);
}

// One saver run on a 1920 x 1080 display of the given scale, playing a 550 x 400 movie at its
// own size: the control's bounds.
struct OwnSizeRun : SaverFixture {
  void TestBody() override {}
  Strings BoundsAt(int32_t dpi) {
    AddMovie("C:\\m\\a.swf", 550, 400);
    StoreSettings({"C:\\m\\a.swf"});
    fake.system.screenWidth = 1920;
    fake.system.screenHeight = 1080;
    fake.system.displayDpi = dpi;
    Start();
    const Strings& calls = window->flash.calls;
    if (calls.size() < 5) return calls;
    return Strings(calls.begin() + 1, calls.begin() + 5);
  }
};

TEST(SaverPlaybackScale, AMovieAtItsOwnSizeKeepsItsSizeOnScreenAtEveryDisplayScale) {
  EXPECT_EQ(OwnSizeRun().BoundsAt(96), (Strings{"Left 685", "Top 340", "Width 550", "Height 400"}));
  EXPECT_EQ(OwnSizeRun().BoundsAt(144), (Strings{"Left 547", "Top 240", "Width 825", "Height 600"}));
  EXPECT_EQ(OwnSizeRun().BoundsAt(192), (Strings{"Left 410", "Top 140", "Width 1100", "Height 800"}));
  // A display that reports less than 96 dpi counts as 100 %.
  EXPECT_EQ(OwnSizeRun().BoundsAt(72), (Strings{"Left 685", "Top 340", "Width 550", "Height 400"}));
  // Odd sizes round: 333 x 201 at 150 % is 499.5 x 301.5 pixels; the largest frame stays in range.
  EXPECT_EQ(ToDisplayPixels(333, 144), 500);
  EXPECT_EQ(ToDisplayPixels(201, 144), 302);
  EXPECT_EQ(ToDisplayPixels(INT32_MAX / 20, 192), INT32_MAX / 20 * 2);
}

TEST_F(SaverPlayback, FitToScreenFillsThePanelWhateverTheFrameSize) {
  AddMovie("C:\\m\\a.swf", 1101, 800);
  StoreSettings({"C:\\m\\a.swf"}, /*fitToScreen=*/true);
  Start();
  EXPECT_TRUE(form->FitToScreen);
  EXPECT_EQ(window->flash.calls,
            (Strings{"BackgroundColor 0", "AlignToClient", "Movie C:\\m\\a.swf", "Play"}));
  EXPECT_EQ(fake.kernel.fileOpens, 1);  // the header is read in this layout too
}

TEST_F(SaverPlayback, ALaterActivationNeitherRestartsPlaybackNorMovesTheIndex) {
  AddMovie("C:\\m\\a.swf");
  AddMovie("C:\\m\\b.swf");
  StoreSettings({"C:\\m\\a.swf", "C:\\m\\b.swf"});
  Start();
  PlayToEnd();
  const size_t calls = window->flash.calls.size();
  window->Activate();
  EXPECT_EQ(window->flash.calls.size(), calls);
  EXPECT_EQ(form->CurrentIndex, 1);
  EXPECT_EQ(window->flash.movie, "C:\\m\\b.swf");
}

TEST_F(SaverPlayback, WithNoEntryLeftTheWindowStaysBlackAndTheIdleStepPollsNothing) {
  StoreSettings({"C:\\m\\gone.swf", ""});
  Start();
  EXPECT_FALSE(form->FirstActivation);
  EXPECT_TRUE(form->MovieList->empty());
  Frames(3);
  EXPECT_TRUE((window->flash.calls).empty());
  EXPECT_FALSE(MoviePlaying);
  EXPECT_EQ(window->color, 0u);
  EXPECT_TRUE(fake.application.messageBoxes.empty());
}

TEST_F(SaverPlayback, NegativeOrMissingListCountPlaysNothing) {
  AddMovie("C:\\m\\a.swf");
  fake.registry.PutText(OptionKey(), "ListCount", "-2");
  fake.registry.PutText(OptionKey(), "List0", "C:\\m\\a.swf");
  Start();
  EXPECT_TRUE(form->MovieList->empty());
  EXPECT_FALSE(form->FirstActivation);
  EXPECT_TRUE((window->flash.calls).empty());
}

TEST_F(SaverPlayback, AFirstEntryGoneAtTheFirstActivationStartsNothingAndIsNotRetried) {
  AddMovie("C:\\m\\a.swf");
  AddMovie("C:\\m\\b.swf");
  StoreSettings({"C:\\m\\a.swf", "C:\\m\\b.swf"});
  fakes::InstallFakeSaverWindow(fake.application, &window, [this](FakeSaverWindow& created) {
    created.beforeShow = [this] { fake.kernel.RemoveFile("C:\\m\\a.swf"); };
  });
  Start();
  EXPECT_FALSE(MoviePlaying);
  EXPECT_TRUE((window->flash.calls).empty());
  AddMovie("C:\\m\\a.swf");
  window->Activate();
  // The control, with nothing loaded, reports 0 frames and frame 0: never a last frame.
  Frames(2);
  EXPECT_TRUE((MoviesLoaded()).empty());
  EXPECT_TRUE(fake.kernel.sleeps.empty());
}

TEST_F(SaverPlayback, CloseReleasesTheListClearsTheFlagAndEndsTheLoop) {
  AddMovie("C:\\m\\a.swf");
  StoreSettings({"C:\\m\\a.swf"});
  Start();
  window->Close();
  EXPECT_EQ(form->MovieList, nullptr);
  EXPECT_EQ(fake.system.screenSaverFlagCalls, (std::vector<bool>{true, false}));
  EXPECT_FALSE(fake.application.RunUntilIdle());  // the quit request ends the loop
  window->Close();  // a second close releases nothing and does not fail
  EXPECT_EQ(fake.system.screenSaverFlagCalls, (std::vector<bool>{true, false}));
  bool done = true;
  form->ApplicationEvents1Idle(done);  // no playlist: nothing to poll
  EXPECT_EQ(window->flash.calls.back(), "Play");
}

TEST_F(SaverPlayback, AWindowDestroyedWithoutACloseStillClearsTheFlag) {
  StoreSettings({});
  Start();
  form.reset();
  EXPECT_EQ(fake.system.screenSaverFlagCalls, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace swfsaver::saver_test
