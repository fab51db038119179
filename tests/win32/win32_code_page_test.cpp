// The conversion of a chosen path into the ANSI code page, against the real system with code
// page 1252 (the test runs with a locale that gives it): exact where the code page holds every
// character, refused where the system would substitute "?" or a best-fit look-alike.
#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace swfsaver::win32 {
namespace {

TEST(CodePageTest, Utf8ToAnsiIsExactOrNothing) {
  ASSERT_EQ(GetACP(), 1252u);
  Win32CodePage codePage;
  EXPECT_EQ(codePage.Utf8ToAnsi(""), "");
  EXPECT_EQ(codePage.Utf8ToAnsi("C:\\Musik\\Über – été.swf"),
            "C:\\Musik\\\xDC" "ber \x96 \xE9t\xE9.swf");
  // Best fit would turn ā into a and ∞ into 8: other names, so they count as lost.
  for (const char* lossy : {"C:\\movies\\映画テスト.swf", "C:\\Bhārat.swf", "C:\\∞.swf"}) {
    EXPECT_EQ(codePage.Utf8ToAnsi(lossy), std::nullopt) << lossy;
  }
}

}  // namespace
}  // namespace swfsaver::win32
