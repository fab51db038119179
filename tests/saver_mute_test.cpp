// The settings' Mute value: "1" (or any non-zero number) has the saver mute its control once,
// before the first movie; missing, "0" or text, sound plays.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/saver_test_fixture.h"

namespace swfsaver::saver_test {
namespace {

class SaverMute : public SaverFixture, public ::testing::WithParamInterface<std::optional<std::string>> {
 protected:
  void StartWith(const std::optional<std::string>& mute) {
    AddMovie("C:\\m\\a.swf");
    StoreSettings({"C:\\m\\a.swf"});
    if (mute) fake.registry.PutText(OptionKey(), "Mute", *mute);
    Start();
  }
  long MuteCalls() const { return std::count(window->flash.calls.begin(), window->flash.calls.end(), "MuteSound"); }
};

using SaverMuted = SaverMute;
using SaverNotMuted = SaverMute;

TEST_P(SaverMuted, TheControlIsMutedOnceBeforeTheFirstMovie) {
  StartWith(GetParam());
  const auto& calls = window->flash.calls;
  ASSERT_EQ(MuteCalls(), 1);
  const auto movie = std::find_if(calls.begin(), calls.end(), [](const std::string& c) { return c.rfind("Movie ", 0) == 0; });
  ASSERT_NE(movie, calls.end());
  EXPECT_LT(std::find(calls.begin(), calls.end(), "MuteSound"), movie);
  PlayToEnd();
  EXPECT_EQ(MoviesLoaded().size(), 2u);
  EXPECT_EQ(MuteCalls(), 1);  // it holds for every movie
}
INSTANTIATE_TEST_SUITE_P(Values, SaverMuted, ::testing::Values("1", "2", "$1"));

TEST_P(SaverNotMuted, SoundStaysOn) {
  StartWith(GetParam());
  EXPECT_EQ(MuteCalls(), 0);
  EXPECT_FALSE(form->MuteSound);
  EXPECT_EQ(MoviesLoaded().size(), 1u);
}
INSTANTIATE_TEST_SUITE_P(Values, SaverNotMuted,
                         ::testing::Values(std::nullopt, std::optional<std::string>("0"),
                                           std::optional<std::string>("yes")));

}  // namespace
}  // namespace swfsaver::saver_test
