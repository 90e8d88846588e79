// Advanced macros on a real X server: composed in the builder window with the pointer and the
// keyboard, saved, and played against real windows with "activate=" and "limitto:" lines.

#include <filesystem>

#include "builder/form_macro_builder.h"
#include "tests/desktop/recorder_fixture.h"

namespace qb::desktoptest {
namespace {

using x11test::pump;
using x11test::waitFor;

class AdvancedMacro : public RecorderTest {
 protected:
  FormMacroBuilder& builder() { return program().builder(); }
  // Shows a command editor with its button on the left.
  void open(forms::Button& option, forms::Frame& panel) {
    click(option);
    ASSERT_TRUE(waitFor([&] { return panel.visible(); })) << panel.name();
    ASSERT_TRUE(onScreen(widget(panel))) << panel.name();
  }
  // Adds the line an editor with one field makes.
  void add(forms::Button& option, forms::Frame& panel, forms::TextBox& field,
           const std::string& value, forms::Button& ok) {
    open(option, panel);
    fill(widget(field), value);
    const std::size_t before = builder().MacroText.text().size();
    click(ok);
    ASSERT_TRUE(waitFor([&] { return builder().MacroText.text().size() > before; }));
  }
  void addLimit(const std::string& window, const std::string& match) {
    open(builder().CmdLimit, builder().limit.FrameLimit);
    fill(widget(builder().limit.WindowName), window);
    fill(widget(builder().limit.Match), match);
    const std::size_t before = builder().MacroText.text().size();
    click(builder().limit.Ok);
    ASSERT_TRUE(waitFor([&] { return builder().MacroText.text().size() > before; }));
  }
  std::size_t entry(const std::string& name) {
    const auto& items = form1().List1.items();
    return static_cast<std::size_t>(std::find(items.begin(), items.end(), name) - items.begin());
  }
};

TEST_F(AdvancedMacro, ComposedInTheBuilderItActivatesWindowsAndQuitsWhenTheWrongOneIsInFront) {
  ProbeWindow alpha(folder(), "Alpha Target");
  ASSERT_TRUE(alpha.waitFocused());
  ProbeWindow beta(folder(), "Beta Target");
  ASSERT_TRUE(beta.waitFocused());
  start();
  click(form1().Command17);  // "Advanced Macro Builder"
  ASSERT_TRUE(waitFor([&] { return program().builderLoaded() && builder().visible(); }));
  QWidget* window = widget(builder().MacroText)->window();
  ASSERT_TRUE(onScreen(window));
  screenshot(window, "builder-mouse-panel");

  auto& b = builder();
  add(b.CmdActivate, b.activate.FrameActivate, b.activate.Title, "Alpha Target", b.activate.Ok);
  screenshot(window, "builder-activate-panel");
  add(b.CmdSendText, b.sendText.FrameSendText, b.sendText.Text, "one", b.sendText.Ok);
  click(b.sendText.SampleKeys);  // the key names beside the window
  ASSERT_TRUE(waitFor([&] { return b.KeyNameList.visible(); }));
  ASSERT_TRUE(onScreen(widget(b.KeyNameList)));
  screenshot(window, "builder-key-names");
  click(b.sendText.SampleKeys);
  ASSERT_TRUE(waitFor([&] { return !b.KeyNameList.visible(); }));
  addLimit("Alpha", "Starts With");
  screenshot(window, "builder-limit-panel");
  add(b.CmdSendText, b.sendText.FrameSendText, b.sendText.Text, "two", b.sendText.Ok);
  add(b.CmdActivate, b.activate.FrameActivate, b.activate.Title, "Beta Target", b.activate.Ok);
  addLimit("Alpha Target", "Exact Match");
  add(b.CmdSendText, b.sendText.FrameSendText, b.sendText.Text, "three", b.sendText.Ok);
  const std::string macro =
      "activate=Alpha Target\r\nw:one\r\nlimitto:q:sw=Alpha\r\nw:two\r\n"
      "activate=Beta Target\r\nlimitto:q:em=Alpha Target\r\nw:three\r\n";
  ASSERT_EQ(b.MacroText.text(), macro);

  // Saved under a name: the file, the builder's list and the main window's list have it.
  open(b.CmdSave, b.save.FrameSave);
  fill(widget(b.save.Name), "gates");
  click(b.save.Ok);
  const std::string file = macroFolder() + "/Macro-AM-gates.txt";
  ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(file); }));
  EXPECT_EQ(readFile(file), macro + "\r\n");
  EXPECT_TRUE(waitFor([&] { return b.edit.FrameEdit.visible() && b.edit.Macros.count() == 1; }));
  screenshot(window, "builder-list-panel");
  click(b.CmdExit);
  ASSERT_TRUE(waitFor([&] { return !program().builderLoaded(); }));
  ASSERT_TRUE(waitFor([&] { return entry("Macro-AM-gates.txt") < form1().List1.count(); }));

  // Played from the main window: the first gate passes, the second quits the run.
  clickItem(form1().List1, entry("Macro-AM-gates.txt"));
  ASSERT_TRUE(waitFor([&] { return form1().Text1.text() == macro + "\r\n"; }));
  EXPECT_FALSE(form1().Text1.tag().empty());  // marked advanced by its name
  click(form1().Command2);
  ASSERT_TRUE(waitFor([&] { return alpha.typed() == "onetwo"; })) << alpha.typed();
  ASSERT_TRUE(waitFor([&] { return form1().playingMark().empty(); }));
  ASSERT_TRUE(waitFor([&] { return desktop().windows.foregroundTitle() == "Beta Target"; }));
  pump(100);
  EXPECT_EQ(alpha.typed(), "onetwo");
  EXPECT_EQ(beta.typed(), "");
  EXPECT_EQ(boxes().texts(), std::vector<std::string>{"The Macro has been saved"});
}

TEST_F(AdvancedMacro, AWaitGateWaitsForItsWindowAndAMissingWindowEndsTheRun) {
  ProbeWindow alpha(folder(), "Alpha Target");
  ASSERT_TRUE(alpha.waitFocused());
  ProbeWindow beta(folder(), "Beta Target");
  ASSERT_TRUE(beta.waitFocused());
  writeFile(macroFolder() + "/Macro-AM-wait.txt", "limitto:w:ew=pha Target\r\nw:late\r\n");
  writeFile(macroFolder() + "/Macro-AM-missing.txt", "activate=No Such Window\r\nw:never\r\n");
  start();

  // Beta is in front when Left Ctrl+P plays: the run waits until Alpha comes to the front.
  clickItem(form1().List1, entry("Macro-AM-wait.txt"));
  ASSERT_TRUE(waitFor([&] { return !form1().Text1.text().empty(); }));
  driver().activate(beta.window());
  ASSERT_TRUE(beta.waitFocused());
  int turnsWaiting = 0;
  WhenReady bringAlpha([&] { return form1().playingMark() == "ok" && ++turnsWaiting > 20; },
                       [&] { driver().activate(alpha.window()); });
  chord({"Control_L"}, "p");
  ASSERT_TRUE(waitFor([&] { return bringAlpha.done() && form1().playingMark().empty(); }));
  EXPECT_TRUE(waitFor([&] { return alpha.typed() == "late"; })) << alpha.typed();
  EXPECT_EQ(beta.typed(), "");

  // A window that "activate=" cannot find: the run says so and ends there.
  clickItem(form1().List1, entry("Macro-AM-missing.txt"));
  ASSERT_TRUE(waitFor([&] { return form1().Text1.text().find("never") != std::string::npos; }));
  driver().activate(beta.window());
  ASSERT_TRUE(beta.waitFocused());
  // The shortcut writes the time to the second: a second press within that second plays nothing.
  ASSERT_TRUE(waitFor([&] { return program().triggerStamp() != form1().Text9.text(); }, 1500));
  chord({"Control_L"}, "p");
  ASSERT_TRUE(waitFor([&] { return boxes().texts().size() == 1; }));
  ASSERT_TRUE(waitFor([&] { return form1().playingMark().empty(); }));
  pump(100);
  EXPECT_EQ(boxes().texts(),
            std::vector<std::string>{"No Such Window application to activate was not found"});
  EXPECT_EQ(beta.typed(), "");
  EXPECT_EQ(alpha.typed(), "late");
}

}  // namespace
}  // namespace qb::desktoptest
