#include "script/macro_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace qb {
namespace {

TEST(RecordedLine, FieldsOfEveryKind) {
  struct Case {
    const char* line;
    RecordedKind kind;
    int x, y;
    std::int64_t stamp;
    const char* keys;
  };
  for (const Case& c : {
           Case{"m:512, 384-2714235", RecordedKind::Move, 512, 384, 2714235, ""},
           Case{"m:512,384-2714235", RecordedKind::Move, 512, 384, 2714235, ""},
           Case{"w:^{c}-1000", RecordedKind::Key, 0, 0, 1000, "^{c}"},
           Case{"w:{enter}--5", RecordedKind::Key, 0, 0, -5, "{enter}"},
           Case{"w:{-}-1000", RecordedKind::Key, 0, 0, 1000, "{-}"},
           Case{"w:{-}--1000", RecordedKind::Key, 0, 0, -1000, "{-}"},
           Case{"w:+{-}-7", RecordedKind::Key, 0, 0, 7, "+{-}"},
           Case{"m:clickl-3500", RecordedKind::ClickLeft, 0, 0, 3500, ""},
           Case{"m:clickr--3500", RecordedKind::ClickRight, 0, 0, -3500, ""},
           Case{"m:clickx-1", RecordedKind::ClickOther, 0, 0, 1, ""},
           Case{"m:5,-12-9", RecordedKind::Move, 5, -12, 9, ""},
           Case{"m:-5, -12--9", RecordedKind::Move, -5, -12, -9, ""},
           Case{"q:1, 2-10", RecordedKind::DragStart, 1, 2, 10, ""},
           Case{"t:3, 4-20", RecordedKind::DragStep, 3, 4, 20, ""},
           Case{"u:5, 6-30", RecordedKind::DragEnd, 5, 6, 30, ""},
           Case{"m:1,2-2147483647", RecordedKind::Move, 1, 2, 2147483647, ""},
           Case{"m:1,2--2147483648", RecordedKind::Move, 1, 2, -2147483648LL, ""},
       }) {
    const auto parsed = parseRecordedLine(c.line);
    ASSERT_TRUE(parsed) << c.line;
    EXPECT_EQ(parsed->kind, c.kind) << c.line;
    EXPECT_EQ(parsed->stamp, c.stamp) << c.line;
    EXPECT_EQ(parsed->keys, c.keys) << c.line;
    if (parsed->hasPosition) {
      EXPECT_EQ(parsed->x, c.x) << c.line;
      EXPECT_EQ(parsed->y, c.y) << c.line;
    }
  }
}

TEST(RecordedLine, LinesOfNoKind) {
  for (const char* line : {"", "M:512,384-100", "loop:3", "m:100,100", "m:100-5", "m:a,b-5",
                           "m:40000,1-5", "waiting=100", "x:1,2-3", "w:abc", "m:1,2-"})
    EXPECT_FALSE(parseRecordedLine(line)) << line;
}

TEST(RepeatHeader, OnlyLineZeroAndAnyCase) {
  EXPECT_EQ(repeatHeaderCount(firstLine("LOOP:3\r\nm:1,1-1\r\n")), "3");
  EXPECT_FALSE(repeatHeaderCount(firstLine("m:1,1-1\r\nloop:3\r\n")));
  EXPECT_EQ(readRepeatCount("40000"), 40000);
  EXPECT_EQ(readRepeatCount(" 3 "), 3);
  for (const char* bad : {"abc", "", "3x", "99999999999"}) EXPECT_EQ(readRepeatCount(bad), 0) << bad;
}

TEST(Pause, AbsoluteDifferenceAcrossTheTickCountWrap) {
  EXPECT_EQ(pauseBetween(5000, 4000), 1000);
  EXPECT_EQ(pauseBetween(1000, 1500), 500);
  EXPECT_EQ(pauseBetween(2147483000, -2147483000), 1296);  // wrapped forward
  EXPECT_EQ(pauseBetween(-2147483000, 2147483000), 1296);  // wrapped backward
  // Scaled stamps beyond 32 bits are plain numbers.
  EXPECT_EQ(pauseBetween(4000000000LL, 5000000000LL), 1000000000LL);
  // Saturates, never overflows, in either direction.
  for (const auto& [previous, current] :
       {std::pair<std::int64_t, std::int64_t>{INT64_MIN + 1, INT64_MAX},
        {INT64_MAX, INT64_MIN + 1},
        {1, INT64_MIN + 1},
        {-1, INT64_MAX},
        {4000000000LL, INT64_MIN + 1}})
    EXPECT_EQ(pauseBetween(previous, current), INT64_MAX) << previous << " " << current;
}

}  // namespace
}  // namespace qb
