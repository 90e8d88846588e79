#include "hotkeys/fire_hot_key.h"

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "platform/virtual_keys.h"
#include "support/sim_program.h"

namespace qb {
namespace {

namespace vk = platform::vk;

using platform::kHookAltDown;
using test::SimProgram;
using Lines = std::vector<std::string>;

constexpr std::uint32_t F(int n) {
  return static_cast<std::uint32_t>(vk::F1 + n - 1);
}

// Row n's text and options (1C run, 2C play, 3C send, 4C require Ctrl).
void setRow(SimProgram& p, int n, const std::string& text, std::initializer_list<int> options) {
  p.program.form2.text(n).setText(text);
  for (const int c : options) p.program.form2.option(c, n).setValue(1);
}

std::vector<std::string> sentTexts(SimProgram& p) {
  std::vector<std::string> texts;
  for (const auto& s : p.sim.sentKeys()) texts.push_back(s.text);
  return texts;
}

TEST(HotKeyAim, RepeatPrefix) {
  struct Case {
    std::string text;
    std::optional<int> repeat;  // empty: the row does not take the key
    std::string rest;
  };
  const Case cases[] = {
      {"loop=10:{ENTER}{TAB}x", 10, "{ENTER}{TAB}x"},
      {"  LOOP=2:abc  ", 2, "abc"},
      {"loop=3", 3, "loop=3"},
      {"loop=-1:abc", -1, "abc"},
      {"loop= 4 :a:b", 4, "a:b"},
      {"loop=2.5:x", 2, "x"},  // halves round to the even number
      {"loop=3.5:x", 4, "x"},
      {"loop=1e1:x", 10, "x"},
      {"loop=40000:x", 0, "x"},  // beyond 16 bits: no repeat
      {"loop=abc:x", 0, "x"},
      {"loop=:x", 0, "x"},
      {"loop 3:x", 0, "loop 3:x"},
      {"plain text", 0, "plain text"},
      {"   ", std::nullopt, ""},
      {"", std::nullopt, ""},
  };
  for (const Case& c : cases) {
    SimProgram p;
    p.program.form2.text(3).setText(c.text);
    const auto action = aimHotKey(p.program.form2, 3, false);
    ASSERT_EQ(action.has_value(), c.repeat.has_value()) << c.text;
    if (!action) continue;
    EXPECT_EQ(action->repeat, *c.repeat) << c.text;
    EXPECT_EQ(action->text, c.rest) << c.text;
  }
}

TEST(HotKey, SendKeysPassesAndTheLoopPrefix) {
  struct Case {
    std::string text;
    std::size_t sends;
    std::string sent;
  };
  const std::string sample =
      "loop=10:{ENTER}{ENTER}{TAB}Sample of Sending Text and {ENTER} Sending Keystrokes";
  for (const Case& c : {Case{sample, 11, sample.substr(8)}, Case{"loop=3", 4, "loop=3"},
                        Case{"loop=-1:abc", 0, ""}, Case{"hello", 1, "hello"}}) {
    SimProgram p;
    setRow(p, 11, c.text, {3});
    EXPECT_TRUE(p.tap(F(11))) << c.text;
    EXPECT_TRUE(p.sim.sentKeys().empty()) << "the passes run after the hook has answered";
    p.run();
    EXPECT_EQ(sentTexts(p), Lines(c.sends, c.sent)) << c.text;
    for (const auto& s : p.sim.sentKeys()) EXPECT_FALSE(s.wait);
  }
}

TEST(HotKey, RequireCtrlTakesOnlyTheLeftCtrlKey) {
  struct Case {
    bool requireCtrl;
    std::uint32_t modifier;  // 0: none
    bool fires;
  };
  for (const Case& c :
       {Case{true, 0, false}, Case{true, vk::LControl, true}, Case{true, vk::RControl, false},
        Case{false, 0, true}, Case{false, vk::LControl, true}, Case{false, vk::RControl, true}}) {
    SimProgram p;
    setRow(p, 5, "x",
           c.requireCtrl ? std::initializer_list<int>{3, 4} : std::initializer_list<int>{3});
    const bool swallowed = c.modifier ? p.chord(c.modifier, F(5)) : p.tap(F(5));
    p.run();
    EXPECT_EQ(swallowed, c.fires) << c.requireCtrl << " " << c.modifier;
    EXPECT_EQ(p.sim.sentKeys().size(), c.fires ? 1u : 0u) << c.requireCtrl << " " << c.modifier;
  }
}

TEST(HotKey, FunctionKeysAreNeverRecorded) {
  SimProgram p;
  setRow(p, 4, "calc.exe", {1});
  setRow(p, 5, "abc", {3});
  setRow(p, 6, "", {1, 2, 3});  // options without a text take nothing
  p.form().Command1.click();
  EXPECT_TRUE(p.tap(F(5)));
  EXPECT_FALSE(p.tap(F(6)));
  EXPECT_FALSE(p.tap(F(7)));
  // With Alt the key is recorded, and no hot key fires.
  p.key(vk::LMenu, kHookAltDown);
  EXPECT_FALSE(p.key(F(4), kHookAltDown));
  p.run();
  EXPECT_EQ(p.text(), "w:%{f4}-0\r\n");
  EXPECT_EQ(sentTexts(p), Lines{"abc"});
  EXPECT_TRUE(p.sim.startedPrograms().empty());
}

TEST(HotKey, RunProgram) {
  SimProgram p;
  setRow(p, 9, "loop=1:calc.exe", {1});
  p.sim.failProgram("missing.exe");
  setRow(p, 8, "missing.exe", {1});
  EXPECT_TRUE(p.tap(F(9)));
  EXPECT_TRUE(p.tap(F(8)));  // taken even though nothing starts
  p.run();
  EXPECT_EQ(p.sim.startedPrograms(), (Lines{"calc.exe", "calc.exe"}));
  EXPECT_TRUE(p.sim.messages().empty());
}

TEST(HotKey, PlayMacroRowsNameTheRestOfThePath) {
  struct Case {
    std::string row;
    std::string played;
  };
  for (const Case& c : {Case{"/Macro-Test.txt", "0 SetMousePos 7 7"},
                        Case{"Macro-Test.txt", "0 SetMousePos 1 1"},  // no such file
                        Case{"loop=-1:/Macro-Test.txt", ""}}) {
    SimProgram p;
    ASSERT_TRUE(writeFileAtomic(p.folder.path() + "/Macro-Test.txt", "m:7, 7-100\r\n").ok());
    p.form().Text1.setText("m:1, 1-100\r\n");
    setRow(p, 2, c.row, {2});
    EXPECT_TRUE(p.tap(F(2)));
    p.run();
    EXPECT_EQ(p.actions(), c.played.empty() ? Lines{} : Lines{c.played}) << c.row;
  }
}

TEST(HotKey, PlayMacroRowsKeepTheAdvancedMark) {
  SimProgram p;
  ASSERT_TRUE(writeFileAtomic(p.folder.path() + "/Macro-AM-Test.txt", "m:3, 4\r\n").ok());
  p.form().Text1.setTag("Macro-AM-Other.txt");
  setRow(p, 2, "/Macro-AM-Test.txt", {2});
  p.tap(F(2));
  p.run();
  EXPECT_EQ(p.actions(), Lines{"0 SetMousePos 3 4"});
}

TEST(HotKey, PlayMacroRepeatsStartPlayOnlyInANewSecond) {
  struct Case {
    std::string macro, row;
    Lines played;
  };
  const Case cases[] = {
      // The second and third writes fall into the second of the first: one play.
      {"m:1, 1-0\r\nm:2, 2-600\r\n",
       "loop=2:/Macro-T.txt",
       {"0 SetMousePos 1 1", "600 SetMousePos 2 2"}},
      {"m:1, 1-0\r\nm:2, 2-1200\r\n",
       "loop=1:/Macro-T.txt",
       {"0 SetMousePos 1 1", "1200 SetMousePos 2 2", "1200 SetMousePos 1 1",
        "2400 SetMousePos 2 2"}},
  };
  for (const Case& c : cases) {
    SimProgram p;
    ASSERT_TRUE(writeFileAtomic(p.folder.path() + "/Macro-T.txt", c.macro).ok());
    setRow(p, 2, c.row, {2});
    p.tap(F(2));
    p.run(5000);
    EXPECT_EQ(p.actions(), c.played) << c.row;
  }
}

TEST(HotKey, NestedKeysDuringAHotKeyPlay) {
  SimProgram p;
  ASSERT_TRUE(writeFileAtomic(p.folder.path() + "/Macro-T.txt",
                              "m:1, 1-0\r\nm:2, 2-1000\r\nm:3, 3-2000\r\nm:4, 4-3000\r\n"));
  setRow(p, 2, "/Macro-T.txt", {2});
  setRow(p, 3, "abc", {3});
  std::vector<bool> answers;
  p.sim.loop().at(500, [&] { answers.push_back(p.tap(F(3))); });
  p.sim.loop().at(600, [&] { answers.push_back(p.tap(F(2))); });
  p.sim.loop().at(1500, [&] { answers.push_back(p.tap(vk::Pause)); });
  EXPECT_TRUE(p.tap(F(2)));
  p.run(10000);
  EXPECT_EQ(answers, (std::vector<bool>{false, false, false}));
  EXPECT_TRUE(p.sim.sentKeys().empty());
  EXPECT_EQ(p.actions(),
            (Lines{"0 SetMousePos 1 1", "1000 SetMousePos 2 2", "2000 SetMousePos 3 3"}));
}

TEST(HotKey, PasteModeKeepsAndRestoresTheClipboard) {
  // An empty clipboard comes back empty, not holding an empty text.
  for (const std::optional<std::string>& before :
       {std::optional<std::string>{"kept text"}, std::optional<std::string>{}}) {
    SimProgram p;
    p.sim.setClipboard(before);
    setRow(p, 10, "Some sample text", {});
    EXPECT_TRUE(p.tap(F(10)));
    p.run();
    Lines expected{"0 ClipboardClear", "0 ClipboardSet Some sample text",
                   "0 SendKeyString wait ^{v}", "250 ClipboardClear"};
    if (before) expected.push_back("250 ClipboardSet " + *before);
    EXPECT_EQ(p.actions(), expected);
    EXPECT_EQ(p.sim.text(), before);
  }
}

TEST(HotKey, EveryOptionTickedActsInOrder) {
  SimProgram p;
  setRow(p, 12, "x", {1, 3});
  p.tap(F(12));
  p.run();
  EXPECT_EQ(p.actions(), (Lines{"0 Run x", "0 SendKeyString nowait x"}));
}

TEST(HotKey, FireHotKeyRunsAtOnce) {
  SimProgram p;
  setRow(p, 1, "loop=1:ab", {3});
  EXPECT_TRUE(FireHotKey(p.program, 1, false));
  EXPECT_EQ(sentTexts(p), (Lines{"ab", "ab"}));
  EXPECT_FALSE(FireHotKey(p.program, 7, true));
}

}  // namespace
}  // namespace qb
