#include "hotkeys/form2.h"

#include <gtest/gtest.h>

#include "platform/virtual_keys.h"
#include "support/sim_program.h"

namespace qb {
namespace {

namespace vk = platform::vk;

using platform::MessageAnswer;
using platform::MessageButtons;
using test::SimProgram;

constexpr std::uint32_t F(int n) {
  return static_cast<std::uint32_t>(vk::F1 + n - 1);
}

// Writes to the settings store since start-up.
int writesSinceStartUp(SimProgram& p) {
  return p.sim.settings().writes() - p.startUpWrites;
}

std::string stored(SimProgram& p, const std::string& key) {
  return p.sim.settings().read("Hotkeys", key).value_or("<none>");
}

TEST(HotKeysWindow, LoadsEveryRowAtStartUp) {
  SimProgram p([](platform::sim::SimDesktop& sim) {
    EXPECT_TRUE(sim.settings().write("Hotkeys", "text1-1", "one"));
    EXPECT_TRUE(sim.settings().write("Hotkeys", "text1-12", "twelve"));
    EXPECT_TRUE(sim.settings().write("Hotkeys", "check1-12", "1"));
    EXPECT_TRUE(sim.settings().write("Hotkeys", "Check4-12", "1"));
    EXPECT_TRUE(sim.settings().write("Hotkeys", "Check2-3", "x"));  // damaged: reads as clear
  });
  Form2& f = p.program.form2;
  EXPECT_FALSE(f.visible());
  EXPECT_EQ(f.text(1).text(), "one");
  EXPECT_EQ(f.text(12).text(), "twelve");
  EXPECT_EQ(f.option(1, 12).value(), 1);
  EXPECT_EQ(f.option(4, 12).value(), 1);
  EXPECT_EQ(f.option(2, 3).value(), 0);
}

TEST(HotKeysWindow, OkStoresAllSixtyValues) {
  SimProgram p;
  Form2& f = p.program.form2;
  p.form().Command15.click();
  EXPECT_TRUE(f.visible());
  p.form().hide();
  f.text(7).setText("seven");
  f.option(3, 7).setValue(1);
  f.option(4, 12).setValue(1);
  f.Command1.click();
  EXPECT_EQ(writesSinceStartUp(p), 60);
  EXPECT_EQ(stored(p, "text1-7"), "seven");
  EXPECT_EQ(stored(p, "text1-1"), "");
  EXPECT_EQ(stored(p, "Check1-7"), "0");
  EXPECT_EQ(stored(p, "Check3-7"), "1");
  EXPECT_EQ(stored(p, "Check4-12"), "1");
  EXPECT_EQ(stored(p, "Check2-12"), "0");
  EXPECT_FALSE(f.visible());
  EXPECT_TRUE(p.form().visible());
}

TEST(HotKeysWindow, SamplesFillFourRowsAndFireAtOnce) {
  SimProgram p;
  Form2& f = p.program.form2;
  f.text(1).setText("mine");
  f.option(2, 9).setValue(1);
  f.Command3.click();
  ASSERT_EQ(p.sim.messages().size(), 1u);
  EXPECT_EQ(p.sim.messages()[0].text,
            "The sample keys are now setup. \r\n"
            "F9 key can be used to run the Calculator. \r\n"
            "F10 key can be used send text to any windows application. \r\n"
            "F11 key can be used send text and key strokes any windows application, Open Notepad "
            "and hit F11 for a quick test (it has a loop=10: that makes it loop times\r\n"
            "F12 key can be used Send and IM on AOL to someone, Open an IM and enter a screen "
            "name. Then hit F12 ");
  EXPECT_EQ(p.sim.messages()[0].title, "Quillbarrow 4.1");
  EXPECT_EQ(f.text(9).text(), "calc.exe");
  EXPECT_EQ(f.option(1, 9).value(), 1);
  EXPECT_EQ(f.option(2, 9).value(), 1) << "other fields are left as they were";
  EXPECT_EQ(f.text(10).text(), "Some sample text you can send to any windows applicaiton");
  EXPECT_EQ(f.text(11).text(),
            "loop=10:{ENTER}{ENTER}{TAB}Sample of Sending Text and {ENTER} Sending Keystrokes");
  EXPECT_EQ(f.option(3, 11).value(), 1);
  EXPECT_EQ(f.text(12).text(), "Sample of Sending an AOL IM ^{ENTER}");
  EXPECT_EQ(f.option(3, 12).value(), 1);
  EXPECT_EQ(f.text(1).text(), "mine");
  EXPECT_EQ(writesSinceStartUp(p), 0);

  f.option(2, 9).setValue(0);
  EXPECT_TRUE(p.tap(F(9)));
  p.run();
  EXPECT_EQ(p.sim.startedPrograms(), std::vector<std::string>{"calc.exe"});
}

TEST(HotKeysWindow, ClearAsksFirst) {
  for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
    SimProgram p;
    Form2& f = p.program.form2;
    for (int n = 1; n <= 12; ++n) {
      f.text(n).setText("row " + std::to_string(n));
      for (int c = 1; c <= 4; ++c) f.option(c, n).setValue(1);
    }
    p.sim.answerNext(answer);
    f.Command4.click();
    ASSERT_EQ(p.sim.messages().size(), 1u);
    EXPECT_EQ(p.sim.messages()[0].text, "Are You sure you want to Clear all the text boxes?");
    EXPECT_EQ(p.sim.messages()[0].title, "");
    EXPECT_EQ(p.sim.messages()[0].buttons, MessageButtons::YesNo);
    const bool cleared = answer == MessageAnswer::Yes;
    for (int n = 1; n <= 12; ++n) {
      EXPECT_EQ(f.text(n).text(), cleared ? "" : "row " + std::to_string(n));
      for (int c = 1; c <= 4; ++c) EXPECT_EQ(f.option(c, n).value(), cleared ? 0 : 1);
    }
    EXPECT_EQ(writesSinceStartUp(p), 0);
  }
}

TEST(HotKeysWindow, DoubleClickClearsOneText) {
  SimProgram p;
  Form2& f = p.program.form2;
  f.text(4).onDblClick();
  EXPECT_TRUE(p.sim.messages().empty()) << "an empty row asks nothing";

  f.text(4).setText("abc");
  f.option(3, 4).setValue(1);
  for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
    p.sim.answerNext(answer);
    f.text(4).onDblClick();
    EXPECT_EQ(p.sim.messages().back().text,
              "abc\r\n\r\nWould you like to clear the contents of this hot key?");
    EXPECT_EQ(p.sim.messages().back().title, "Contents of Hot Key");
    EXPECT_EQ(f.text(4).text(), answer == MessageAnswer::Yes ? "" : "abc");
    EXPECT_EQ(f.option(3, 4).value(), 1);
  }
}

TEST(HotKeysWindow, CloseBoxKeepsTheRows) {
  SimProgram p;
  Form2& f = p.program.form2;
  p.form().Command15.click();
  f.text(6).setText("kept");
  f.option(3, 6).setValue(1);
  f.close();
  EXPECT_FALSE(f.visible());
  EXPECT_TRUE(p.form().visible());
  EXPECT_EQ(writesSinceStartUp(p), 0);
  EXPECT_TRUE(p.tap(F(6)));
  p.run();
  ASSERT_EQ(p.sim.sentKeys().size(), 1u);
  EXPECT_EQ(p.sim.sentKeys()[0].text, "kept");
}

}  // namespace
}  // namespace qb
