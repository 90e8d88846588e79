// Every window of the recorder program on the screen: a screenshot of each in the artifacts
// folder, the layout checks a user would see fail, and the dialogs' work on a macro file.

#include "builder/form_macro_builder.h"
#include "tests/desktop/layout_check.h"
#include "tests/desktop/recorder_fixture.h"

namespace qb::desktoptest {
namespace {

using x11test::waitFor;

class Windows : public RecorderTest {
 protected:
  // Saves the window's picture and checks its layout.
  void look(QWidget* window, const std::string& name,
            const std::vector<std::string>& cutOffByDesign = {}) {
    ASSERT_TRUE(onScreen(window)) << name;
    screenshot(window, name);
    EXPECT_EQ(layoutProblems(window, cutOffByDesign), std::vector<std::string>{}) << name;
  }
};

TEST_F(Windows, TheMainWindowAndItsDialogsShowTheirControlsWholeAndDoTheirWork) {
  const std::string file = macroFolder() + "/Macro-demo.txt";
  writeFile(file, "w:{a}-100\r\nw:{b}-300\r\n");
  start();
  QWidget* main = widget(form1().Command1)->window();
  // The macro text lies below the visible layout, and the start-up height cuts the Options
  // frame off; "&Options" makes the window tall enough for the frame.
  const std::string macroText = "QAbstractScrollArea \"\"";
  look(main, "main-window", {macroText, "QGroupBox \"Options\""});
  EXPECT_LT(main->height(), widget(form1().Frame1)->geometry().bottom());

  click(form1().Command21);  // "&Options" shows the macro location
  ASSERT_TRUE(waitFor([&] { return form1().height() == Form1::kOptionsHeight; }));
  ASSERT_TRUE(
      waitFor([&] { return main->height() > widget(form1().Frame1)->geometry().bottom(); }));
  look(main, "main-window-options", {macroText});
  EXPECT_EQ(form1().Text4.text(), macroFolder());

  // "Repeat it?" on the selected macro: the dialog, a count typed into it, OK.
  clickItem(form1().List1, 0);
  Form4& dialog = program().form4;
  QWidget* count = widget(dialog.Text2);
  WhenReady repeat([&] { return dialog.visible() && exposed(count); },
                   [&] {
                     look(count->window(), "repeat-dialog");
                     fill(count, "3");
                     click(dialog.Command1);
                   });
  click(form1().Command19);
  ASSERT_TRUE(waitFor([&] { return repeat.done() && !dialog.visible(); }));
  // A rewritten macro file is its new text followed by CR LF.
  EXPECT_EQ(readFile(file), "loop:3\r\nw:{a}-100\r\nw:{b}-300\r\n\r\n");

  // "Speed?": twice as slow, which drops the repeat header and says so.
  WhenReady speed([&] { return dialog.visible() && exposed(count) && dialog.Option1.visible(); },
                  [&] {
                    look(count->window(), "speed-dialog");
                    click(dialog.Option2);  // "Decrease Speed"
                    fill(count, "100");
                    click(dialog.Command1);
                  });
  click(form1().Command20);
  ASSERT_TRUE(waitFor([&] { return speed.done() && boxes().texts().size() == 1; }));
  EXPECT_EQ(readFile(file), "w:{a}-200\r\nw:{b}-600\r\n\r\n");
  EXPECT_EQ(boxes().texts(),
            std::vector<std::string>{
                "If there was a repeat option on the macro, it should be set again"});

  click(form1().Command15);  // "Show HotKeys"
  look(widget(program().form2.Command1)->window(), "hot-keys-window");
  click(program().form2.Command1);  // "&OK" stores the rows and hides the window
  ASSERT_TRUE(waitFor([&] { return !program().form2.visible(); }));
  EXPECT_EQ(desktop().settings.read("Hotkeys", "text1-12"), "");
}

TEST_F(Windows, EveryPanelOfTheBuilderShowsItsControlsWhole) {
  start();
  click(form1().Command17);
  ASSERT_TRUE(waitFor([&] { return program().builderLoaded() && program().builder().visible(); }));
  FormMacroBuilder& b = program().builder();
  QWidget* window = widget(b.MacroText)->window();
  struct Panel {
    forms::Button& option;
    forms::Frame& frame;
    const char* screenshot;
  };
  for (const Panel& p :
       {Panel{b.CmdMouse, b.mouse.FrameMouse, "builder-mouse-panel"},
        Panel{b.CmdSendText, b.sendText.FrameSendText, "builder-send-text-panel"},
        Panel{b.CmdDelay, b.delay.FrameDeLay, ""},
        Panel{b.CmdRun, b.run.FrameRun, "builder-run-panel"},
        Panel{b.CmdLoop, b.loop.FrameLoop, ""}, Panel{b.CmdFile, b.file.FrameFile, ""},
        Panel{b.CmdActivate, b.activate.FrameActivate, ""},
        Panel{b.CmdLimit, b.limit.FrameLimit, "builder-limit-panel"},
        Panel{b.CmdSave, b.save.FrameSave, ""},
        Panel{b.CmdList, b.edit.FrameEdit, "builder-list-panel"}}) {
    click(p.option);
    ASSERT_TRUE(waitFor([&] { return p.frame.visible() && exposed(widget(p.frame)); }))
        << p.frame.caption();
    ASSERT_TRUE(waitFor([&] { return window->width() >= widget(p.frame)->geometry().right(); }));
    if (*p.screenshot) screenshot(window, p.screenshot);
    EXPECT_EQ(layoutProblems(window), std::vector<std::string>{}) << p.frame.caption();
  }
  click(b.CmdSendText);
  click(b.sendText.SampleKeys);
  ASSERT_TRUE(waitFor([&] { return exposed(widget(b.KeyNameList)); }));
  ASSERT_TRUE(
      waitFor([&] { return window->width() >= widget(b.KeyNameList)->geometry().right(); }));
  look(window, "builder-key-names");
}

}  // namespace
}  // namespace qb::desktoptest
