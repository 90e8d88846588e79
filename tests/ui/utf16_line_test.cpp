// A line in the UTF-16 a toolkit draws: every unit must map back to the byte its character
// starts at, so a caret placed between units lands between the same characters of the UTF-8.

#include "ui/text/utf16_line.h"

#include <gtest/gtest.h>

namespace qb::ui {
namespace {

TEST(Utf16Line, UnitsMapToTheBytesTheirCharactersStartAt) {
  // "a", "é" (2 bytes), "€" (3), "😀" (4, two units), "z".
  const Utf16Line line("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
  EXPECT_EQ(line.units(), u"a\u00E9\u20AC\U0001F600z");
  const std::vector<std::size_t> bytes = {0, 1, 3, 6, 6, 10, 11};
  ASSERT_EQ(line.size() + 1, bytes.size());
  for (std::size_t unit = 0; unit < bytes.size(); ++unit)
    EXPECT_EQ(line.byteOf(unit), bytes[unit]) << unit;
  struct Case {
    std::size_t byte, unit;
  };
  // A byte inside a character belongs to its first unit; the end to the end.
  EXPECT_EQ(utf16FromUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z"), line.units());
  EXPECT_EQ(utf16Length("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z"), line.size());
  // Cut short, a pair is left out whole.
  EXPECT_EQ(utf16FromUtf8("a\xF0\x9F\x98\x80z", 2), u"a");
  EXPECT_EQ(utf16FromUtf8("a\xF0\x9F\x98\x80z", 3), u"a\U0001F600");
  for (const Case& c : {Case{0, 0}, Case{1, 1}, Case{2, 1}, Case{3, 2}, Case{5, 2}, Case{6, 3},
                        Case{9, 3}, Case{10, 5}, Case{11, 6}})
    EXPECT_EQ(line.unitOf(c.byte), c.unit) << c.byte;
}

TEST(Utf16Line, BytesThatAreNotUtf8BecomeOneReplacementEach) {
  struct Case {
    std::string bytes;
    std::u16string units;
  };
  for (const Case& c : {Case{"\xFF", u"\uFFFD"},
                        Case{"a\x80"
                             "b",
                             u"a\uFFFDb"},
                        Case{"\xC3", u"\uFFFD"},                      // cut short at the end
                        Case{"\xE2\x82z", u"\uFFFD\uFFFDz"},          // cut short by a letter
                        Case{"\xC0\xAF", u"\uFFFD\uFFFD"},            // overlong
                        Case{"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // a surrogate
                        Case{"", u""}}) {
    const Utf16Line line(c.bytes);
    EXPECT_EQ(line.units(), c.units);
    EXPECT_EQ(utf16FromUtf8(c.bytes), c.units);
    EXPECT_EQ(utf16Length(c.bytes), c.units.size());
    EXPECT_EQ(line.byteOf(line.size()), c.bytes.size());
  }
}

TEST(Utf16Line, Utf16GoesBackToTheSameUtf8AndLoneSurrogatesToReplacements) {
  const std::string text = "w:{\xC3\xA4}\xF0\x9F\x98\x80-1";
  EXPECT_EQ(utf8FromUtf16(Utf16Line(text).units()), text);
  EXPECT_EQ(utf8FromUtf16(u"a\xD83D"), "a\xEF\xBF\xBD");
  EXPECT_EQ(utf8FromUtf16(u"\xDE00z"), "\xEF\xBF\xBDz");
}

}  // namespace
}  // namespace qb::ui
