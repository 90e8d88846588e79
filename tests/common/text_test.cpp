#include "common/text.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(Text, SplitsOnlyAtCrLf) {
  EXPECT_EQ(splitAtCrLf("a\r\nb\r\n"), (std::vector<std::string_view>{"a", "b", ""}));
  EXPECT_EQ(splitAtCrLf("a\nb\rc"), (std::vector<std::string_view>{"a\nb\rc"}));
  EXPECT_EQ(splitAtCrLf(""), (std::vector<std::string_view>{""}));
}

TEST(Text, CrLfLinesNeverYieldTheElementAfterTheLastCrLf) {
  std::vector<std::string_view> seen;
  CrLfLines lines("one\r\n\r\ntwo\r\nlast");
  for (std::string_view l; lines.next(l);) seen.push_back(l);
  EXPECT_EQ(seen, (std::vector<std::string_view>{"one", "", "two"}));
  CrLfLines lf("a\nb\n");
  std::string_view l;
  EXPECT_FALSE(lf.next(l));
}

TEST(Text, WholeNumbers) {
  EXPECT_EQ(parseWholeNumber(" 42 ", 0, 100), 42);
  EXPECT_EQ(parseWholeNumber("-7", -10, 10), -7);
  EXPECT_EQ(parseWholeNumber("+7", -10, 10), 7);
  for (const char* bad : {"", " ", "4x", "1.5", "abc", "101", "--1", "+-5", "++5"})
    EXPECT_FALSE(parseWholeNumber(bad, -100, 100)) << bad;
}

TEST(Text, NumericTestAcceptsWhatTheToolkitCallsNumeric) {
  for (const char* good : {"0", " 50 ", "-5", "+3", "1.5", ".5", "2e3", "1E-2"})
    EXPECT_TRUE(isNumeric(good)) << good;
  for (const char* bad : {"", "x", "1,5", "e3", "1e", "5%", "- 5", "1.2.3"})
    EXPECT_FALSE(isNumeric(bad)) << bad;
  EXPECT_DOUBLE_EQ(*parseNumeric(" 12.5 "), 12.5);
  EXPECT_DOUBLE_EQ(*parseNumeric("+2e3"), 2000);
}

TEST(Text, CaseRulesAreAscii) {
  EXPECT_TRUE(startsWithNoCase("LOOP:3", "loop:"));
  EXPECT_TRUE(endsWithNoCase("macro-b.TXT", ".txt"));
  EXPECT_EQ(toLowerAscii("W:{HOME}\xC4"), "w:{home}\xC4");
  EXPECT_EQ(trimBlanks("  a b  "), "a b");
}

TEST(Text, TimeOfDayChangesEverySecond) {
  EXPECT_EQ(formatTimeOfDay(0), "1970-01-01 00:00:00");
  EXPECT_EQ(formatTimeOfDay(1'800'000'001), "2027-01-15 08:00:01");
}

TEST(Text, CharactersBecomeUtf8AndWhatIsNoCharacterAReplacement) {
  std::string out;
  for (char32_t c : {char32_t{'a'}, char32_t{0xE4}, char32_t{0x20AC}, char32_t{0x1F600},
                     char32_t{0xD800}, char32_t{0x110000}})
    appendUtf8(out, c);
  EXPECT_EQ(out, "a\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
}  // namespace qb
