// The saver never stops behind a message box: entries whose frame size cannot be read are
// passed over after the usual pause, a list of which nothing can be read leaves a black screen
// that is tried again on a timer (the loop sleeps meanwhile), and the errors it cannot pass
// over (no control, a settings value it cannot read, the control's own failures) are recorded
// in the registry while the black screen and the exit triggers stay.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Exceptions.h"
#include "tests/saver_test_fixture.h"

namespace swfsaver::saver_test {
namespace {

using platform::kWmKeyDown;
using platform::kWmUser;

constexpr std::uintptr_t kWmPaint = 0x0F;

class SaverFailures : public SaverFixture {
 protected:
  void ExpectNothingShownOrRecorded() {
    EXPECT_TRUE(fake.application.messageBoxes.empty());
    EXPECT_EQ(RecordedMessage(), "");
  }
};

class SaverPassOver : public SaverFailures, public ::testing::WithParamInterface<bool> {};

TEST_P(SaverPassOver, UnreadableEntriesBetweenGoodOnesArePassedOverAfterThePause) {
  const bool fit = GetParam();
  AddMovie("C:\\m\\a.swf");
  AddShortFile("C:\\m\\short.swf");
  AddLockedMovie("C:\\m\\locked.swf");
  AddDamagedCompressedMovie("C:\\m\\damaged.swf");
  AddMovie("C:\\m\\c.swf");
  StoreSettings({"C:\\m\\a.swf", "C:\\m\\short.swf", "C:\\m\\locked.swf", "C:\\m\\damaged.swf",
                 "C:\\m\\c.swf"},
                fit);
  Start();
  // Input that comes during one pause is taken before the next entry is tried.
  std::vector<size_t> hookedAtPause;
  fake.kernel.onSleep = [&](uint32_t) {
    hookedAtPause.push_back(fake.application.hooked.size());
    fake.application.Post({window->Handle(), kWmUser + 1});
  };
  Frames(1);
  window->flash.calls.clear();
  Frames(1);  // the last frame of a
  EXPECT_EQ(fake.kernel.sleeps, (std::vector<uint32_t>(4, 500u)));
  ASSERT_EQ(hookedAtPause.size(), 4u);
  for (size_t i = 1; i < 4; ++i) EXPECT_EQ(hookedAtPause[i], hookedAtPause[0] + i);
  EXPECT_EQ(form->CurrentIndex, 4);
  // Each passed-over entry got only the background colour; c was laid out and started, and
  // the input of the last pause woke one more poll.
  Strings expected{"TotalFrames", "CurrentFrame"};
  expected.insert(expected.end(), 3, "BackgroundColor 0");
  const Strings layout = fit ? Strings{"BackgroundColor 0", "AlignToClient"}
                             : Strings{"BackgroundColor 0", "Left 237", "Top 184", "Width 550",
                                       "Height 400"};
  expected.insert(expected.end(), layout.begin(), layout.end());
  expected.insert(expected.end(),
                  {"Movie C:\\m\\c.swf", "Play", "TotalFrames", "CurrentFrame"});
  EXPECT_EQ(window->flash.calls, expected);
  EXPECT_EQ(fake.kernel.OpenFileCount(), 0);
  PlayToEnd();  // the wrap to the first entry
  EXPECT_EQ(MoviesLoaded(), (Strings{"C:\\m\\c.swf", "C:\\m\\a.swf"}));
  EXPECT_TRUE(window->panelVisible);
  EXPECT_TRUE(window->retryTimerCalls.empty());
  ExpectNothingShownOrRecorded();
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, SaverPassOver, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Fit" : "OwnSize"; });

TEST_F(SaverFailures, AFirstEntryUnreadableAtActivationAndAnEntryGoneLaterArePassedOver) {
  AddShortFile("C:\\m\\short.swf");
  AddMovie("C:\\m\\b.swf");
  AddMovie("C:\\m\\c.swf");
  StoreSettings({"C:\\m\\short.swf", "C:\\m\\b.swf", "C:\\m\\c.swf"}, /*fitToScreen=*/true);
  Start();
  fake.application.RunUntilIdle();
  EXPECT_EQ(MoviesLoaded(), Strings{"C:\\m\\b.swf"});
  fake.kernel.RemoveFile("C:\\m\\c.swf");
  PlayToEnd();
  EXPECT_EQ(MoviesLoaded(), (Strings{"C:\\m\\b.swf", "C:\\m\\b.swf"}));
  EXPECT_EQ(fake.kernel.sleeps, (std::vector<uint32_t>(4, 500u)));
  ExpectNothingShownOrRecorded();
}

TEST_F(SaverFailures, AListOfWhichNothingCanBeReadWaitsBlackForTheTimerWithoutSpinning) {
  AddShortFile("C:\\m\\short.swf");
  AddLockedMovie("C:\\m\\locked.swf");
  StoreSettings({"C:\\m\\short.swf", "C:\\m\\locked.swf"});
  Start();
  EXPECT_TRUE(fake.application.RunUntilIdle());  // the loop would sleep: no busy work
  EXPECT_EQ(fake.kernel.sleeps, std::vector<uint32_t>{500u});
  EXPECT_EQ(window->retryTimerCalls, std::vector<uint32_t>{5000u});
  EXPECT_FALSE(window->panelVisible);
  EXPECT_FALSE(MoviePlaying);
  // Other messages wake the idle step, which neither polls the control nor tries an entry.
  const int idles = fake.application.idleCount;
  for (int i = 0; i < 3; ++i) Post(window->Handle(), kWmPaint);
  EXPECT_EQ(fake.application.idleCount, idles + 3);
  EXPECT_EQ(fake.kernel.sleeps.size(), 1u);
  EXPECT_EQ(std::count(window->flash.calls.begin(), window->flash.calls.end(), "TotalFrames"), 0);

  // Each firing of the timer runs one more round, with the pause before every entry.
  ASSERT_TRUE(window->FireRetryTimer());
  fake.application.RunUntilIdle();
  EXPECT_EQ(fake.kernel.sleeps, std::vector<uint32_t>(3, 500u));
  EXPECT_EQ(window->retryTimerCalls, (std::vector<uint32_t>{5000u, 0u, 5000u}));
  EXPECT_TRUE(MoviesLoaded().empty());

  AddMovie("C:\\m\\short.swf");  // the drive is back
  ASSERT_TRUE(window->FireRetryTimer());
  fake.application.RunUntilIdle();
  EXPECT_EQ(MoviesLoaded(), Strings{"C:\\m\\short.swf"});
  EXPECT_TRUE(window->panelVisible);
  EXPECT_EQ(window->retryTimerMs, 0u);
  ExpectNothingShownOrRecorded();
}

TEST_F(SaverFailures, WithoutItsControlTheSaverIsABlackScreenThatRecordsWhyAndEndsOnInput) {
  InstallWindow(static_cast<int32_t>(0x80040154));
  fake.codePage.Set(fakes::FakeCodePage::Kind::ShiftJis);
  AddMovie("C:\\m\\a.swf");
  StoreSettings({"C:\\m\\a.swf"});
  Start();
  EXPECT_FALSE(window->hasFlashControl);
  EXPECT_TRUE(window->visible);
  EXPECT_EQ(window->color, 0u);
  EXPECT_EQ(fake.system.cursorCalls, std::vector<bool>{false});
  EXPECT_EQ(fake.system.screenSaverFlagCalls, std::vector<bool>{true});
  EXPECT_EQ(fake.system.ownerHidden, 1);
  EXPECT_TRUE(fake.application.messageBoxes.empty());
  EXPECT_EQ(RecordedMessage(), "クラスが登録されていません.");
  EXPECT_EQ(RecordedTime(), "2024-03-09 07:05:01");
  Post(window->Handle(), kWmPaint);  // the idle step asks nothing of the missing control
  EXPECT_FALSE(MoviePlaying);
  EXPECT_EQ(RecordedMessage(), "クラスが登録されていません.");
  Post(window->PanelHandle(), kWmKeyDown, 0, 0, 'A');
  EXPECT_EQ(window->closes, 1);
}

TEST_F(SaverFailures, AWindowThatCannotBeMadeAtAllEscapesWithCursorAndFlagUntouched) {
  fake.application.saverWindowFactory =
      [](platform::SaverWindowEvents&, bool) -> std::unique_ptr<platform::SaverWindow> {
    throw Exception("The saver window cannot be created (error 8)");
  };
  application = std::make_unique<TApplication>(fake.platform);
  EXPECT_THROW(TForm1(fake.platform, *application), Exception);
  EXPECT_TRUE(fake.system.cursorCalls.empty());
  EXPECT_TRUE(fake.system.screenSaverFlagCalls.empty());
  // The record let go of the application with the form: its reports are boxes again.
  application->ShowException(Exception("later"));
  EXPECT_EQ(fake.application.messageBoxes.size(), 1u);
}

TEST_F(SaverFailures, AnUnreadableSettingsValueIsRecordedInTheAnsiCodePageAndCreationGoesOn) {
  fake.codePage.Set(fakes::FakeCodePage::Kind::ShiftJis);
  fake.registry.PutText(OptionKey(), "Expansion", "1");
  fake.registry.PutValue(OptionKey(), "ListCount", {platform::kRegDword, {2, 0, 0, 0}});
  Start();
  EXPECT_TRUE(fake.application.messageBoxes.empty());
  EXPECT_EQ(fake.registry.Text(RecordKey(), "Message"),
            fakes::ShiftJis("'ListCount' のデータ型が不正です."));
  EXPECT_TRUE(form->FitToScreen);  // stored before the failing read
  EXPECT_TRUE(window->panelAlignedToClient);
  EXPECT_EQ(fake.system.ownerHidden, 1);
  EXPECT_FALSE(form->FirstActivation);
  EXPECT_TRUE(window->visible);
}

TEST_F(SaverFailures, AControlThatRefusesMoviesIsRecordedOnceAndItsEntriesPassedOver) {
  AddMovie("C:\\m\\a.swf");
  AddMovie("C:\\m\\b.swf");
  StoreSettings({"C:\\m\\a.swf", "C:\\m\\b.swf"});
  fakes::InstallFakeSaverWindow(fake.application, &window, [](FakeSaverWindow& created) {
    created.flash.FailCalls("Movie", static_cast<int32_t>(0x80004005));
  });
  Start();
  fake.application.RunUntilIdle();
  EXPECT_TRUE(fake.application.messageBoxes.empty());
  EXPECT_EQ(RecordedMessage(), "Flash control call failed: Movie.");
  const Strings& calls = fake.registry.Calls();
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const std::string& call) { return Contains(call, ":Message"); }),
            1);
  EXPECT_EQ(window->retryTimerMs, 5000u);
  window->flash.StopFailing();
  ASSERT_TRUE(window->FireRetryTimer());
  fake.application.RunUntilIdle();
  EXPECT_EQ(window->flash.movie, "C:\\m\\a.swf");
  EXPECT_TRUE(MoviePlaying);
}

TEST_F(SaverFailures, AControlErrorWhilePollingIsRecordedAndTheLoopGoesOn) {
  AddMovie("C:\\m\\a.swf");
  StoreSettings({"C:\\m\\a.swf"});
  Start();
  window->flash.FailCalls("TotalFrames", static_cast<int32_t>(0x8000FFFF));
  Frames(1);
  EXPECT_TRUE(fake.application.messageBoxes.empty());
  EXPECT_EQ(RecordedMessage(), "Flash control call failed: TotalFrames.");
  window->flash.StopFailing();
  PlayToEnd();
  EXPECT_EQ(fake.kernel.sleeps, std::vector<uint32_t>{500u});
}

}  // namespace
}  // namespace swfsaver::saver_test
