// The control data the saver stores for its Flash control, and the check the control's Load
// applies to it: the exact bytes are accepted, every kind of damage is named, and a stream
// that stops early is asked for exactly the bytes still missing.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "flashapi/StoredControlData.h"
#include "standin/flash/control/ControlData.h"

namespace swfsaver::flash {
namespace {

std::vector<uint8_t> Stored() { return {flashapi::kStoredControlData.begin(), flashapi::kStoredControlData.end()}; }

TEST(StandinControlData, StoredBytesFollowTheLayout) {
  const std::vector<uint8_t> data = Stored();
  ASSERT_EQ(data.size(), 194u);
  const std::vector<uint8_t> header = {0x67, 0x55, 0x66, 0x55, 0x00, 0x03, 0x00, 0x00,
                                       0xF2, 0x13, 0x00, 0x00, 0x77, 0x11, 0x00, 0x00};
  EXPECT_EQ(std::vector<uint8_t>(data.begin(), data.begin() + 16), header);
  // First value: the empty string (tag 8, length 2, terminator); second: "Window".
  const std::vector<uint8_t> firstValues = {8, 0, 2, 0, 0, 0, 0, 0,  8, 0, 14, 0, 0, 0,
                                            'W', 0, 'i', 0, 'n', 0, 'd', 0, 'o', 0, 'w', 0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(data.begin() + 16, data.begin() + 44), firstValues);
  // The last two values are empty strings.
  EXPECT_EQ(std::vector<uint8_t>(data.end() - 8, data.end()),
            (std::vector<uint8_t>{8, 0, 2, 0, 0, 0, 0, 0}));
}

TEST(StandinControlData, StoredBytesAreValid) {
  const ControlDataCheck check = CheckControlData(flashapi::kStoredControlData);
  ASSERT_EQ(check.status, ControlDataStatus::kValid) << ControlDataStatusName(check.status);
  EXPECT_EQ(check.size, 194u);
  EXPECT_EQ(check.data.widthHimetric, 5106);
  EXPECT_EQ(check.data.heightHimetric, 4471);
  const std::u16string texts[] = {u"", u"Window", u"Window", u"Window"};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(check.data.values[i].text, texts[i]);
  EXPECT_TRUE(check.data.values[4].flag);
  EXPECT_EQ(check.data.values[6].text, u"High");
  EXPECT_EQ(check.data.values[10].text, u"always");
  EXPECT_EQ(check.data.values[11].text, u"ShowAll");
  EXPECT_FALSE(check.data.values[12].flag);
}

TEST(StandinControlData, TrailingBytesAreNotPartOfIt) {
  std::vector<uint8_t> data = Stored();
  data.insert(data.end(), {1, 2, 3});
  const ControlDataCheck check = CheckControlData(data);
  EXPECT_EQ(check.status, ControlDataStatus::kValid);
  EXPECT_EQ(check.size, 194u);
}

// A reader that feeds the check only the bytes it asks for reaches exactly 194 bytes, and
// every shorter prefix is an incomplete beginning, never valid and never read past its end.
TEST(StandinControlData, EveryPrefixAsksForMoreUpToTheWhole) {
  const std::vector<uint8_t> data = Stored();
  for (size_t length = 0; length < data.size(); ++length) {
    const std::vector<uint8_t> prefix(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
    const ControlDataCheck check = CheckControlData(prefix);
    ASSERT_EQ(check.status, ControlDataStatus::kNeedMore) << length;
    EXPECT_GT(check.size, length);
    EXPECT_LE(check.size, data.size());
  }
  std::vector<uint8_t> fed;
  ControlDataCheck check = CheckControlData(fed);
  int rounds = 0;
  while (check.status == ControlDataStatus::kNeedMore) {
    fed.assign(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(check.size));
    check = CheckControlData(fed);
    ASSERT_LT(++rounds, 100);
  }
  EXPECT_EQ(check.status, ControlDataStatus::kValid);
  EXPECT_EQ(fed.size(), 194u);
}

TEST(StandinControlData, DamageIsNamed) {
  struct Case {
    const char* what;
    size_t offset;
    uint8_t value;
    ControlDataStatus status;
  };
  const Case cases[] = {
      {"magic", 0, 0x68, ControlDataStatus::kBadMagic},
      {"version", 5, 0x04, ControlDataStatus::kBadVersion},
      {"negative width", 11, 0x80, ControlDataStatus::kBadExtent},
      {"negative height", 15, 0xFF, ControlDataStatus::kBadExtent},
      {"string tag where a string belongs", 16, 11, ControlDataStatus::kBadTag},
      {"boolean tag", 84, 8, ControlDataStatus::kBadTag},       // fifth value, a boolean
      {"odd string length", 18, 3, ControlDataStatus::kBadString},
      {"string length without terminator", 18, 0, ControlDataStatus::kBadString},
      {"huge string length", 21, 0x80, ControlDataStatus::kBadString},
      {"terminator", 22, 'x', ControlDataStatus::kMissingTerminator},
      {"boolean neither true nor false", 86, 0x01, ControlDataStatus::kBadBoolean},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> data = Stored();
    data[c.offset] = c.value;
    EXPECT_EQ(CheckControlData(data).status, c.status) << c.what;
  }
}

TEST(StandinControlData, ZeroExtentIsAccepted) {
  std::vector<uint8_t> data = Stored();
  for (size_t i = 8; i < 16; ++i) data[i] = 0;
  EXPECT_EQ(CheckControlData(data).status, ControlDataStatus::kValid);
}

}  // namespace
}  // namespace swfsaver::flash
