// The command editors: the line each "OK" adds, the loop header rule and the checks.

#include <functional>

#include "builder_fixture.h"

namespace qb::test {
namespace {

using Editor = std::function<void(FormMacroBuilder&)>;

struct EditorCase {
  const char* name;
  std::string before;
  Editor use;
  std::string after;
};

// Names the case in ctest's list instead of dumping its bytes.
void PrintTo(const EditorCase& c, std::ostream* os) {
  *os << c.name;
}

Editor mouse(const char* x, const char* y, forms::OptionButton MousePanel::*option) {
  return [=](FormMacroBuilder& b) {
    b.CmdMouse.click();
    b.mouse.X.setText(x);
    b.mouse.Y.setText(y);
    if (option) (b.mouse.*option).click();
    b.mouse.Ok.click();
  };
}

Editor sendText(const char* text, bool ctrl, bool shift, bool alt) {
  return [=](FormMacroBuilder& b) {
    b.CmdSendText.click();
    b.sendText.Text.setText(text);
    b.sendText.Ctrl.setValue(ctrl ? 1 : 0);
    b.sendText.Shift.setValue(shift ? 1 : 0);
    b.sendText.Alt.setValue(alt ? 1 : 0);
    b.sendText.Ok.click();
  };
}

Editor limit(const char* match, const char* window, bool wait) {
  return [=](FormMacroBuilder& b) {
    b.CmdLimit.click();
    b.limit.Match.setText(match);
    b.limit.WindowName.setText(window);
    if (wait) b.limit.WaitUntilActive.click();
    b.limit.Ok.click();
  };
}

// Opens the editor with `opener`, types `value` into its field and presses its "OK".
template <class Panel>
Editor fieldEditor(forms::Button FormMacroBuilder::*opener, Panel FormMacroBuilder::*panel,
                   forms::TextBox Panel::*box, const char* value) {
  return [=](FormMacroBuilder& b) {
    (b.*opener).click();
    ((b.*panel).*box).setText(value);
    (b.*panel).Ok.click();
  };
}
Editor run(const char* path) {
  return fieldEditor(&FormMacroBuilder::CmdRun, &FormMacroBuilder::run, &RunPanel::Path, path);
}
Editor delay(const char* ms) {
  return fieldEditor(&FormMacroBuilder::CmdDelay, &FormMacroBuilder::delay, &DelayPanel::Delay, ms);
}
Editor dataFile(const char* path) {
  return fieldEditor(&FormMacroBuilder::CmdFile, &FormMacroBuilder::file, &FilePanel::Path, path);
}
Editor activate(const char* title) {
  return fieldEditor(&FormMacroBuilder::CmdActivate, &FormMacroBuilder::activate,
                     &ActivatePanel::Title, title);
}

class Editors : public BuilderTest, public ::testing::WithParamInterface<EditorCase> {};

TEST_P(Editors, OkAddsTheLineAsTyped) {
  const EditorCase& c = GetParam();
  FormMacroBuilder& b = open();
  b.MacroText.setText(c.before);
  c.use(b);
  EXPECT_EQ(b.MacroText.text(), c.after);
  EXPECT_TRUE(messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Editors,
    ::testing::Values(
        EditorCase{"RunOnEmptyText", "", run("c:\\a.exe"), "run=c:\\a.exe\r\n"},
        EditorCase{"RunWithEmptyPath", "", run(""), "run=\r\n"},
        EditorCase{"DelayAfterUnendedLine", "abc", delay("500"), "abc\r\nwaiting=500\r\n"},
        EditorCase{"DelayAfterEndedLine", "abc\r\n", delay("x 1"), "abc\r\nwaiting=x 1\r\n"},
        // A bare LF already ends the line: no CR LF is put before the new one.
        EditorCase{"AfterBareLineFeed", "abc\n", dataFile(" d.txt "), "abc\nfiledata= d.txt \r\n"},
        EditorCase{"Activate", "", activate("Note"), "activate=Note\r\n"},
        EditorCase{"SendAllModifiers", "", sendText("x", true, true, true), "w:^%+x\r\n"},
        EditorCase{"SendShiftOnly", "", sendText("x", false, true, false), "w:+x\r\n"},
        EditorCase{"SendCtrlAlt", "", sendText("{enter}", true, false, true), "w:^%{enter}\r\n"},
        EditorCase{"SendPlain", "", sendText("abc", false, false, false), "w:abc\r\n"},
        EditorCase{"MouseRightUp", "", mouse("10", "20", &MousePanel::RightUp),
                   "m:10, 20\r\nm:rightclickup\r\n"},
        EditorCase{"MouseLeftClick", "", mouse("1", "2", &MousePanel::LeftClick),
                   "m:1, 2\r\nm:leftclick\r\n"},
        EditorCase{"MouseLeftDown", "", mouse("1", "2", &MousePanel::LeftDown),
                   "m:1, 2\r\nm:leftclickdown\r\n"},
        EditorCase{"MouseRightClick", "", mouse("1", "2", &MousePanel::RightClick),
                   "m:1, 2\r\nm:rightclick\r\n"},
        EditorCase{"MouseRightDown", "", mouse("1", "2", &MousePanel::RightDown),
                   "m:1, 2\r\nm:rightclickdown\r\n"},
        EditorCase{"MouseLeftUp", "", mouse("1", "2", &MousePanel::LeftUp),
                   "m:1, 2\r\nm:leftclickup\r\n"},
        EditorCase{"MouseNoClick", "", mouse("10", "20", &MousePanel::NoClick), "m:10, 20\r\n"},
        EditorCase{"MouseNoOption", "", mouse("10", "20", nullptr), "m:10, 20\r\n"},
        EditorCase{"LimitTypedMatch", "", limit("zz", "Notepad", false),
                   "limitto:q:zz=Notepad\r\n"},
        EditorCase{"LimitExact", "", limit("Exact Match", "Notepad", false),
                   "limitto:q:em=Notepad\r\n"},
        EditorCase{"LimitStartsWait", "", limit("Starts With", "A", true), "limitto:w:sw=A\r\n"},
        EditorCase{"LimitEnds", "", limit("Ends With", "B", false), "limitto:q:ew=B\r\n"},
        EditorCase{"LimitContains", "", limit("Contains", "C", true), "limitto:w:in=C\r\n"}),
    [](const ::testing::TestParamInfo<EditorCase>& param) {
      return std::string(param.param.name);
    });

TEST_F(BuilderTest, AnEditorStaysOpenForTheNextLineAndTheOptionsAreOneChoice) {
  FormMacroBuilder& b = open();
  mouse("1", "2", &MousePanel::LeftDown)(b);
  // Choosing another option clears the first: only the last choice writes its line.
  mouse("3", "4", &MousePanel::RightUp)(b);
  EXPECT_FALSE(b.mouse.LeftDown.value());
  EXPECT_EQ(b.shownPanel(), &b.mouse.FrameMouse);
  EXPECT_EQ(b.MacroText.text(), "m:1, 2\r\nm:leftclickdown\r\nm:3, 4\r\nm:rightclickup\r\n");
}

TEST_F(BuilderTest, LimitWithoutAMatchOptionAsksForOneAndAddsNothing) {
  FormMacroBuilder& b = open();
  b.MacroText.setText("abc");
  limit("", "Notepad", false)(b);
  EXPECT_EQ(messages(), std::vector<std::string>{"Could you please select a match option"});
  EXPECT_EQ(b.MacroText.text(), "abc");
}

struct LoopStep {
  const char* count;
  bool infinite;
};

std::string withLoops(FormMacroBuilder& b, std::string text,
                      std::initializer_list<LoopStep> steps) {
  b.MacroText.setText(std::move(text));
  b.CmdLoop.click();
  for (const LoopStep& s : steps) {
    b.loop.Count.setText(s.count);
    b.loop.Infinite.setValue(s.infinite ? 1 : 0);
    b.loop.Ok.click();
  }
  return b.MacroText.text();
}

TEST_F(BuilderTest, TheLoopHeaderIsAlwaysOneLineAtTheTop) {
  FormMacroBuilder& b = open();
  EXPECT_EQ(withLoops(b, "w:a\r\n", {{"3", false}, {"5", false}}), "loop:5\r\nw:a\r\n");
  EXPECT_EQ(withLoops(b, "w:a", {{"x", true}}), "loop:infinite\r\nw:a\r\n");
  EXPECT_EQ(withLoops(b, "", {{" 2 ", false}}), "loop: 2 \r\n");
  EXPECT_EQ(withLoops(b, "loop:infinite\r\nw:a\r\n", {{"1.5", false}}), "loop:1.5\r\nw:a\r\n");
  // Only a lower-case header is replaced; another spelling is a line of the body.
  EXPECT_EQ(withLoops(b, "LOOP:2\r\nw:a\r\n", {{"4", false}}), "loop:4\r\nLOOP:2\r\nw:a\r\n");
  // Bare LF line ends: only the header line goes.
  EXPECT_EQ(withLoops(b, "loop:2\nw:a\n", {{"4", false}}), "loop:4\r\nw:a\n");
  EXPECT_TRUE(messages().empty());
}

TEST_F(BuilderTest, ACountThatIsNoNumberIsRefusedAndTheTextKeepsItsHeader) {
  FormMacroBuilder& b = open();
  for (const char* count : {"x", "", "3x", "--1"}) {
    EXPECT_EQ(withLoops(b, "loop:3\r\nw:a", {{count, false}}), "loop:3\r\nw:a") << count;
    EXPECT_EQ(b.loop.Count.text(), "0") << count;
  }
  EXPECT_EQ(messages(), std::vector<std::string>(4, "There should be a numeric value entered"));
}

}  // namespace
}  // namespace qb::test
