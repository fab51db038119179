// The input that ends the saver, sent through the fake desktop the way the system delivers it:
// the message hook's budget while a movie plays, the window's own mouse rule before that (grace,
// anchor, three pixels on both axes), buttons, keys and the private messages; and the close
// request on each of its paths, with the password library taken from the system directory.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/saver_test_fixture.h"

namespace swfsaver::saver_test {
namespace {

using platform::kWmKeyDown;
using platform::kWmLButtonDown;
using platform::kWmMouseMove;
using platform::kWmRButtonDown;
using platform::kWmUser;

class SaverExit : public SaverFixture {
 protected:
  void StartPlaying() {
    AddMovie("C:\\m\\a.swf");
    StoreSettings({"C:\\m\\a.swf"});
    Start();
    ASSERT_TRUE(MoviePlaying);
  }
  // No entry to play: mouse moves reach the window's own rule.
  void StartWithoutMovies() {
    StoreSettings({});
    Start();
    ASSERT_FALSE(MoviePlaying);
  }
  void Move(std::uintptr_t target, int32_t x, int32_t y) { Post(target, kWmMouseMove, x, y); }
  int Closes() const { return window->closes; }
};

// --- the message hook while a movie plays ---

TEST_F(SaverExit, TenMouseMovesAreSwallowedTheEleventhAndEveryLaterOneClose) {
  StartPlaying();
  for (int i = 0; i < 10; ++i) Move(window->FlashHandle(), 100 + 10 * i, 100 + 10 * i);
  EXPECT_EQ(Closes(), 0);
  EXPECT_EQ(MouseMessageBudget, 0);
  EXPECT_EQ(window->flash.inputMessages, 0);  // not even the movie saw them
  Move(window->FlashHandle(), 500, 500);
  EXPECT_EQ(Closes(), 1);
  EXPECT_EQ(fake.kernel.passwordCalls.size(), 1u);
  Move(window->PanelHandle(), 501, 501);
  EXPECT_EQ(Closes(), 2);
  EXPECT_EQ(MouseMessageBudget, 0);  // never replenished
  EXPECT_EQ(window->flash.inputMessages, 0);
}

TEST_F(SaverExit, MovesBeforeTheFirstMovieDoNotSpendTheBudget) {
  StartWithoutMovies();
  for (int i = 0; i < 5; ++i) Move(window->PanelHandle(), 10, 10);
  EXPECT_EQ(MouseMessageBudget, 10);
  EXPECT_EQ(MouseMoveGrace, 0);  // they reached the panel's rule instead
}

TEST_F(SaverExit, TheRightButtonClosesAtAnyTimeAndNeverReachesTheMovie) {
  StartWithoutMovies();
  Post(window->FlashHandle(), kWmRButtonDown, 5, 5);
  EXPECT_EQ(Closes(), 1);
  EXPECT_EQ(window->flash.inputMessages, 0);
  MoviePlaying = true;
  Post(window->FlashHandle(), kWmRButtonDown, 5, 5);
  EXPECT_EQ(Closes(), 2);
  EXPECT_EQ(MouseMessageBudget, 10);
}

// --- the window's own mouse rule ---

TEST_F(SaverExit, FiveMovesAreIgnoredTheSixthSetsTheAnchorAndTheWindowAndPanelShareIt) {
  StartWithoutMovies();
  for (int i = 0; i < 3; ++i) Move(window->Handle(), 100, 100);
  for (int i = 0; i < 2; ++i) Move(window->PanelHandle(), 300, 300);
  EXPECT_EQ(form->MouseAnchorX, -1);
  Move(window->PanelHandle(), 100, 100);
  EXPECT_EQ(form->MouseAnchorX, 100);
  EXPECT_EQ(form->MouseAnchorY, 100);
  Move(window->Handle(), 103, 103);
  EXPECT_EQ(Closes(), 1);
  EXPECT_EQ(form->MouseAnchorX, 103);  // the move that counted is the new anchor
  EXPECT_EQ(MouseMoveGrace, 5);        // and the close request restarted the grace
}

TEST_F(SaverExit, AMoveCountsOnlyWhenItIsThreePixelsAwayOnBothAxes) {
  StartWithoutMovies();
  MouseMoveGrace = 0;
  Move(window->PanelHandle(), 200, 200);
  Move(window->PanelHandle(), 210, 202);  // far horizontally, 2 vertically
  Move(window->PanelHandle(), 202, 250);  // 2 horizontally, far vertically
  Move(window->PanelHandle(), 190, 200);  // purely horizontal
  EXPECT_EQ(Closes(), 0);
  EXPECT_EQ(form->MouseAnchorX, 200);  // none of them moved the anchor
  EXPECT_EQ(form->MouseAnchorY, 200);
  Move(window->PanelHandle(), 197, 203);
  EXPECT_EQ(Closes(), 1);
}

TEST_F(SaverExit, SlowDiagonalMovesAddUpFromTheAnchor) {
  StartWithoutMovies();
  MouseMoveGrace = 0;
  Move(window->PanelHandle(), 50, 50);
  Move(window->PanelHandle(), 51, 51);
  Move(window->PanelHandle(), 52, 52);
  EXPECT_EQ(Closes(), 0);
  Move(window->PanelHandle(), 53, 53);
  EXPECT_EQ(Closes(), 1);
}

TEST_F(SaverExit, OnlyTheAnchorPairMinusOneMinusOneMeansUnset) {
  StartWithoutMovies();
  MouseMoveGrace = 0;
  Move(window->Handle(), -1, -1);  // leaves the anchor unset
  Move(window->Handle(), 40, 40);  // so this one only sets it
  EXPECT_EQ(Closes(), 0);
  form->MouseAnchorX = -1;
  form->MouseAnchorY = 60;  // one coordinate -1: a real anchor
  Move(window->Handle(), 2, 63);
  EXPECT_EQ(Closes(), 1);
}

// --- buttons, keys, the wheel and the private messages ---

TEST_F(SaverExit, APressOnTheBlackAreaClosesAPressOnTheMovieGoesToTheMovie) {
  StartPlaying();
  Post(window->FlashHandle(), kWmLButtonDown, 300, 300);
  EXPECT_EQ(Closes(), 0);
  EXPECT_EQ(window->flash.inputMessages, 1);
  Post(window->PanelHandle(), fakes::kWmMButtonDown, 5, 5);
  EXPECT_EQ(Closes(), 1);
  Post(window->Handle(), kWmLButtonDown, 5, 5);
  EXPECT_EQ(Closes(), 2);
}

TEST_F(SaverExit, AnyKeyClosesWhereverTheFocusIsButTheWheelDoesNot) {
  StartPlaying();
  Post(window->Handle(), fakes::kWmMouseWheel);
  EXPECT_EQ(Closes(), 0);
  Post(window->FlashHandle(), kWmKeyDown, 0, 0, 'A');
  EXPECT_EQ(Closes(), 1);
  Post(window->ButtonHandle(), kWmKeyDown, 0, 0, 0x1B);  // Escape
  EXPECT_EQ(Closes(), 2);
}

TEST_F(SaverExit, Message0x402ClosesPostedOrSentAnd0x401ChangesNothing) {
  StartPlaying();
  Post(window->Handle(), kWmUser + 1);
  EXPECT_EQ(Closes(), 0);
  EXPECT_FALSE(fake.application.QuitPosted());
  Post(window->Handle(), kWmUser + 2);
  EXPECT_EQ(Closes(), 1);
  fake.application.Send({window->Handle(), kWmUser + 2});
  EXPECT_EQ(Closes(), 2);
  EXPECT_EQ(fake.kernel.passwordCalls.size(), 2u);
}

TEST_F(SaverExit, TheHiddenButtonAndTheSystemsCloseSkipThePasswordStep) {
  StartPlaying();
  Post(window->ButtonHandle(), fakes::kBmClick);
  EXPECT_EQ(Closes(), 1);
  Post(window->Handle(), fakes::kWmClose);
  EXPECT_EQ(Closes(), 2);
  EXPECT_TRUE(fake.kernel.passwordCalls.empty());
  EXPECT_EQ(fake.system.cursorCalls, (std::vector<bool>{false}));
}

// --- the close request ---

TEST_F(SaverExit, PasswordStepShowsTheCursorAroundTheSystemRoutineThenCloses) {
  StartPlaying();
  fake.registry.ClearCalls();
  bool cursorShownDuringRoutine = false;
  fake.kernel.passwordRoutine = [&](const fakes::PasswordCall&) {
    cursorShownDuringRoutine = fake.system.CursorVisible();
    EXPECT_EQ(Closes(), 0);
    return 0u;  // cancelled: the saver closes all the same
  };
  Post(window->Handle(), kWmUser + 2);
  EXPECT_TRUE(cursorShownDuringRoutine);
  EXPECT_EQ(fake.system.cursorCalls, (std::vector<bool>{false, true, false}));
  EXPECT_FALSE(fake.system.CursorVisible());
  EXPECT_EQ(fake.system.ownerHidden, 2);
  ASSERT_EQ(fake.kernel.passwordCalls.size(), 1u);
  const fakes::PasswordCall& call = fake.kernel.passwordCalls[0];
  EXPECT_EQ(call.provider, "SCRSAVE");
  EXPECT_EQ(call.owner, 0);
  EXPECT_EQ(call.reserved1, 0u);
  EXPECT_EQ(call.reserved2, 0u);
  EXPECT_EQ(fake.kernel.freedLibraries, 1);
  EXPECT_EQ(fake.kernel.LoadedLibraryCount(), 0);
  EXPECT_EQ(fake.registry.Calls(),
            (Strings{"Open Control Panel\\Desktop", "Close Control Panel\\Desktop"}));
  EXPECT_EQ(Closes(), 1);
  EXPECT_EQ(fake.application.terminateCount, 1);  // the quit request ends the loop
}

TEST_F(SaverExit, TheOwnerHandleIsTheSecondArgumentReadAfreshOrZero) {
  StartPlaying();
  struct Case {
    const char* commandLine;
    int32_t owner;
  };
  for (const Case& c : {Case{"\"C:\\Windows\\SwfSaver.scr\" /s 1234", 1234},
                        Case{"\"C:\\Windows\\SwfSaver.scr\" /s 0x1f", 31},
                        Case{"\"C:\\Windows\\SwfSaver.scr\" /s", 0},
                        Case{"\"C:\\Windows\\SwfSaver.scr\" /s \"\"", 0},
                        Case{"\"C:\\Windows\\SwfSaver.scr\" /s 12ab", 0},
                        Case{"\"C:\\Windows\\SwfSaver.scr\" /s 99999999999", 0}}) {
    fake.kernel.commandLine = c.commandLine;
    fake.kernel.passwordCalls.clear();
    form->RequestClose();
    ASSERT_EQ(fake.kernel.passwordCalls.size(), 1u) << c.commandLine;
    EXPECT_EQ(fake.kernel.passwordCalls[0].owner, c.owner) << c.commandLine;
  }
}

TEST_F(SaverExit, WithoutTheDesktopKeyTheWindowClosesWithoutDialogOrCursor) {
  fake.registry = fakes::FakeRegistry();
  StartPlaying();
  Post(window->Handle(), kWmUser + 2);
  EXPECT_EQ(Closes(), 1);
  EXPECT_TRUE(fake.kernel.loadedLibraries.empty());
  EXPECT_EQ(fake.system.cursorCalls, (std::vector<bool>{false}));
  EXPECT_FALSE(fake.registry.KeyExists(kDesktopKey));  // opened, never created
  EXPECT_EQ(fake.registry.OpenHandleCount(), 0);
}

TEST_F(SaverExit, ADesktopKeyRefusingFullAccessCountsAsMissing) {
  fake.registry.RefuseFullAccess(kDesktopKey);
  StartPlaying();
  Post(window->Handle(), kWmUser + 2);
  EXPECT_EQ(Closes(), 1);
  EXPECT_TRUE(fake.kernel.passwordCalls.empty());
  EXPECT_EQ(fake.system.cursorCalls, (std::vector<bool>{false}));
}

TEST_F(SaverExit, AMissingLibraryOrEntryPointStillShowsAndHidesTheCursorAndCloses) {
  fake.kernel = fakes::FakeKernel();
  fake.kernel.AddLibrary(kSystemMpr, {"WNetGetUserA"});  // no password routine
  StartPlaying();
  Post(window->Handle(), kWmUser + 2);
  EXPECT_EQ(Closes(), 1);
  EXPECT_EQ(fake.kernel.freedLibraries, 1);
  EXPECT_EQ(fake.system.cursorCalls, (std::vector<bool>{false, true, false}));

  fake.kernel = fakes::FakeKernel();  // no MPR.DLL at all
  form->RequestClose();
  EXPECT_EQ(Closes(), 2);
  EXPECT_EQ(fake.kernel.loadedLibraries, (Strings{kSystemMpr}));
  EXPECT_EQ(fake.system.cursorCalls, (std::vector<bool>{false, true, false, true, false}));
}

TEST_F(SaverExit, ARoutineThatRaisesIsDroppedSilentlyAndTheSaverStillCloses) {
  StartPlaying();
  fake.kernel.passwordRoutine = [](const fakes::PasswordCall&) -> uint32_t {
    throw std::runtime_error("access violation in the password provider");
  };
  Post(window->Handle(), kWmUser + 2);
  EXPECT_EQ(Closes(), 1);
  EXPECT_EQ(fake.system.cursorCalls, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(fake.kernel.LoadedLibraryCount(), 0);
  EXPECT_TRUE(fake.application.messageBoxes.empty());
  EXPECT_EQ(fake.registry.OpenHandleCount(), 0);
}

TEST_F(SaverExit, APlantedMprDllInTheProgramFolderIsNeverLoaded) {
  fake.kernel.searchDirectories = {"C:\\Windows", "C:\\Windows\\system32"};
  fake.kernel.AddLibrary("C:\\Windows\\MPR.DLL", {"PwdChangePasswordA"});
  StartPlaying();
  Post(window->Handle(), kWmUser + 2);
  EXPECT_EQ(fake.kernel.loadedPaths, (Strings{kSystemMpr}));
  EXPECT_EQ(fake.kernel.passwordRoutineLibrary, kSystemMpr);
}

TEST_F(SaverExit, A0x402SentWhileThePasswordDialogIsUpRunsASecondNestedStep) {
  StartPlaying();
  int depth = 0;
  fake.kernel.passwordRoutine = [&](const fakes::PasswordCall&) {
    if (++depth == 1) fake.application.Send({window->Handle(), kWmUser + 2});
    return 1u;
  };
  Post(window->Handle(), kWmUser + 2);
  EXPECT_EQ(fake.kernel.passwordCalls.size(), 2u);
  EXPECT_EQ(Closes(), 2);
  EXPECT_EQ(fake.system.cursorCalls, (std::vector<bool>{false, true, true, false, false}));
  EXPECT_EQ(fake.registry.OpenHandleCount(), 0);
}

TEST_F(SaverExit, OutsideSaverModeTheCloseSkipsThePasswordStep) {
  StartPlaying();
  RunMode = rmConfigure;
  MouseMoveGrace = 0;
  form->RequestClose();
  EXPECT_EQ(Closes(), 1);
  EXPECT_TRUE(fake.kernel.passwordCalls.empty());
  EXPECT_EQ(MouseMoveGrace, 0);
}

// --- a whole run ---

TEST_F(SaverExit, ARunPlaysTheListInTurnUntilTheMouseMovesThenTheLoopEnds) {
  AddMovie("C:\\m\\a.swf", 550, 400, 2);
  AddMovie("C:\\m\\b.swf", 550, 400, 2);
  StoreSettings({"C:\\m\\a.swf", "C:\\m\\b.swf"});
  Start();
  int waits = 0;
  fake.application.onWait = [&] {
    // The control's timer drives three frames, each a movie's last; then the user nudges the
    // mouse for good.
    if (++waits <= 3) {
      fake.application.Post({window->FlashHandle(), fakes::kWmTimer});
    } else {
      fake.application.Post({window->FlashHandle(), kWmMouseMove, 0, MouseLParam(waits, waits)});
    }
  };
  fake.application.Run();
  EXPECT_EQ(MoviesLoaded(),
            (Strings{"C:\\m\\a.swf", "C:\\m\\b.swf", "C:\\m\\a.swf", "C:\\m\\b.swf"}));
  EXPECT_EQ(waits, 3 + 11);  // ten moves swallowed, the eleventh closes
  EXPECT_EQ(Closes(), 1);
  EXPECT_EQ(fake.kernel.passwordCalls.size(), 1u);
  EXPECT_EQ(fake.system.screenSaverFlagCalls, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace swfsaver::saver_test
