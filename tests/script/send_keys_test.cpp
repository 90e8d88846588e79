#include "script/send_keys.h"

#include <gtest/gtest.h>

#include "platform/virtual_keys.h"

namespace qb {
namespace {

namespace vk = platform::vk;

using platform::KeySequence;
using platform::KeyStep;
using K = KeyStep::Kind;

KeyStep down(std::uint16_t v) {
  return {K::Down, v, 0};
}
KeyStep up(std::uint16_t v) {
  return {K::Up, v, 0};
}
KeyStep ch(char32_t c) {
  return {K::Char, 0, c};
}
KeySequence tap(std::uint16_t v) {
  return {down(v), up(v)};
}

KeySequence keys(const char* text) {
  const ParsedKeys parsed = parseKeyString(text);
  EXPECT_TRUE(parsed.ok()) << text << ": " << (parsed ? "" : parsed.error().describe());
  return parsed.value_or(KeySequence{});
}

TEST(SendKeys, RecorderTokensAndNames) {
  EXPECT_EQ(keys("{f5}"), tap(vk::F1 + 4));
  EXPECT_EQ(keys("+{home}"),
            (KeySequence{down(vk::Shift), down(vk::Home), up(vk::Home), up(vk::Shift)}));
  EXPECT_EQ(keys("{-}"), KeySequence{ch('-')});
  EXPECT_EQ(keys("^{c}"), (KeySequence{down(vk::Control), ch('c'), up(vk::Control)}));
  EXPECT_EQ(keys("{PgDn}{prtsc}{BS}{bksp}{BackSpace}"),
            (KeySequence{down(vk::Next), up(vk::Next), down(vk::Snapshot), up(vk::Snapshot),
                         down(vk::Back), up(vk::Back), down(vk::Back), up(vk::Back), down(vk::Back),
                         up(vk::Back)}));
  EXPECT_EQ(keys("{F16}"), tap(vk::F16));
  EXPECT_EQ(keys("{ }"), KeySequence{ch(' ')});
  EXPECT_EQ(keys("{\\}{`}{'}"), (KeySequence{ch('\\'), ch('`'), ch('\'')}));
}

TEST(SendKeys, ModifiersStackAndGroup) {
  EXPECT_EQ(keys("^%+x"), (KeySequence{down(vk::Control), down(vk::Menu), down(vk::Shift), ch('x'),
                                       up(vk::Shift), up(vk::Menu), up(vk::Control)}));
  // The modifier holds for the next key only.
  EXPECT_EQ(keys("+ab"), (KeySequence{down(vk::Shift), ch('a'), up(vk::Shift), ch('b')}));
  EXPECT_EQ(keys("+(ab)c"),
            (KeySequence{down(vk::Shift), ch('a'), ch('b'), up(vk::Shift), ch('c')}));
  EXPECT_EQ(keys("^(+(x))"), (KeySequence{down(vk::Control), down(vk::Shift), ch('x'),
                                          up(vk::Shift), up(vk::Control)}));
}

TEST(SendKeys, EscapesEnterAndRepeats) {
  EXPECT_EQ(keys("{+}{^}{%}{~}{(}{)}{{}{}}"),
            (KeySequence{ch('+'), ch('^'), ch('%'), ch('~'), ch('('), ch(')'), ch('{'), ch('}')}));
  EXPECT_EQ(keys("a~"), (KeySequence{ch('a'), down(vk::Return), up(vk::Return)}));
  EXPECT_EQ(keys("{LEFT 2}{x 3}"), (KeySequence{down(vk::Left), up(vk::Left), down(vk::Left),
                                                up(vk::Left), ch('x'), ch('x'), ch('x')}));
  EXPECT_EQ(keys("{ENTER 0}"), KeySequence{});
}

TEST(SendKeys, CharactersBeyondAscii) {
  EXPECT_EQ(keys("\xC3\xA9"), KeySequence{ch(U'\u00E9')});        // UTF-8
  EXPECT_EQ(keys("\xE9"), KeySequence{ch(U'\u00E9')});            // one 8-bit character
  EXPECT_EQ(keys("{\xE2\x82\xAC}"), KeySequence{ch(U'\u20AC')});  // braced euro sign
}

TEST(SendKeys, MalformedStringsSayWhere) {
  struct Case {
    const char* text;
    std::size_t column;
    const char* words;
  };
  for (const Case& c : {
           Case{"ab{enter", 3, "never closed"},
           Case{"x{NOSUCH}", 2, "unknown key name {NOSUCH}"},
           Case{"{}", 1, "empty braces"},
           Case{"a)", 2, "without an opening"},
           Case{"+(ab", 2, "never closed"},
           Case{"abc^", 4, "modifier at the end"},
           Case{"a}", 2, "without an opening"},
           Case{"{LEFT x}", 7, "repeat count"},
           Case{"ab{x 100000}{x 100000}{x 100000}{x 100000}{x 100000}{x 100000}{x 100000}{x 100000}"
                "{x 100000}{x 100000}",
                93, "more than 1000000 key steps"},
       }) {
    const ParsedKeys parsed = parseKeyString(c.text);
    ASSERT_FALSE(parsed.ok()) << c.text;
    EXPECT_EQ(parsed.error().column, c.column) << c.text;
    EXPECT_NE(parsed.error().describe().find(c.words), std::string::npos)
        << parsed.error().describe();
  }
}

TEST(SendKeys, DeeplyNestedGroupsAreRefusedNotOverflowed) {
  // A key string comes from macro lines, hot key rows and data files: any text at all.
  const std::size_t depth = 1000000;
  const std::string text = std::string(depth, '(') + "a" + std::string(depth, ')');
  const ParsedKeys parsed = parseKeyString(text);
  ASSERT_FALSE(parsed.ok());
  EXPECT_NE(parsed.error().describe().find("nested"), std::string::npos)
      << parsed.error().describe();
  // Nesting as deep as anyone writes still works.
  EXPECT_EQ(keys("+(^(%(a)))"),
            (KeySequence{down(vk::Shift), down(vk::Control), down(vk::Menu), ch('a'), up(vk::Menu),
                         up(vk::Control), up(vk::Shift)}));
}

}  // namespace
}  // namespace qb
