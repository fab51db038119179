// The two pure playback decisions: the next entry, and the centred rectangle of a movie shown
// at its own size.
#include <gtest/gtest.h>

#include "saver/PlaybackRules.h"

namespace swfsaver {
namespace {

TEST(SaverRules, NextIndexAdvancesAndWrapsAfterTheLastEntry) {
  struct Case {
    int32_t current, count, next;
  };
  for (const Case& c :
       {Case{0, 2, 1}, Case{1, 2, 0}, Case{0, 1, 0}, Case{2, 4, 3}, Case{3, 4, 0}}) {
    EXPECT_EQ(NextMovieIndex(c.current, c.count), c.next) << c.current << " of " << c.count;
  }
}

TEST(SaverRules, CentredRectHalvesTowardZero) {
  struct Case {
    int32_t frameWidth, frameHeight;
    ControlRect rect;
  };
  for (const Case& c : {
           Case{550, 400, {237, 184, 550, 400}},
           Case{1101, 800, {-38, -16, 1101, 800}},  // -77 halves to -38, not -39
           Case{1024, 768, {0, 0, 1024, 768}},
           Case{1025, 769, {0, 0, 1025, 769}},  // -1 halves to 0
           Case{0, 0, {512, 384, 0, 0}},
           Case{107374182, 1, {-53686579, 383, 107374182, 1}},  // the largest frame width
       }) {
    EXPECT_EQ(CentredControlRect(1024, 768, c.frameWidth, c.frameHeight), c.rect)
        << c.frameWidth << "x" << c.frameHeight;
  }
}

}  // namespace
}  // namespace swfsaver
