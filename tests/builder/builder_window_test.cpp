// The builder window: its state at load, the panels, the widths, the key name list, the mouse
// position sampler, Run Macro, Clear Macro and leaving.

#include <set>

#include "builder/key_name_list.h"
#include "builder_fixture.h"

namespace qb::test {
namespace {

TEST_F(BuilderTest, LoadsWithTheMousePanelAndEveryFieldEmpty) {
  FormMacroBuilder& b = open();
  EXPECT_TRUE(b.visible());
  EXPECT_EQ(b.caption().rfind("Advanced Macro Builder", 0), 0u);
  EXPECT_EQ(b.width(), 8445);
  EXPECT_EQ(b.shownPanel(), &b.mouse.FrameMouse);
  EXPECT_FALSE(b.HintLabel.visible());
  EXPECT_EQ(b.limit.Match.items(),
            (std::vector<std::string>{"Exact Match", "Starts With", "Ends With", "Contains"}));
  EXPECT_EQ(b.limit.Match.text(), "");
  EXPECT_TRUE(b.limit.QuitIfInactive.value());
  EXPECT_FALSE(b.limit.WaitUntilActive.value());
  for (const forms::OptionButton* o :
       {&b.mouse.LeftClick, &b.mouse.LeftDown, &b.mouse.RightClick, &b.mouse.RightDown,
        &b.mouse.LeftUp, &b.mouse.RightUp, &b.mouse.NoClick})
    EXPECT_FALSE(o->value()) << o->name();
  EXPECT_FALSE(b.KeyNameList.visible());
  EXPECT_FALSE(b.MouseTimer.running());
  EXPECT_EQ(b.mouse.GetPosition.caption(), "Get Mouse Position");
  for (const forms::Control* c : b.controls()) {
    if (c->kind() != forms::ControlKind::TextBox || c == &b.KeyNameList) continue;
    EXPECT_EQ(static_cast<const forms::TextBox*>(c)->text(), "") << c->name();
  }
  // Every panel shares the run panel's corner.
  for (const forms::Control* c : b.controls()) {
    if (c->kind() != forms::ControlKind::Frame || c == &b.FrameOptions) continue;
    EXPECT_EQ(c->layout().left, b.run.FrameRun.layout().left) << c->name();
    EXPECT_EQ(c->layout().top, b.run.FrameRun.layout().top) << c->name();
  }
}

TEST_F(BuilderTest, EachButtonShowsItsPanelAloneAndCancelShowsTheHint) {
  FormMacroBuilder& b = open();
  b.run.Path.setText("kept");
  const std::pair<forms::Button*, forms::Button*> cancels[] = {
      {&b.CmdRun, &b.run.Cancel},     {&b.CmdLoop, &b.loop.Cancel},
      {&b.CmdFile, &b.file.Cancel},   {&b.CmdMouse, &b.mouse.Cancel},
      {&b.CmdLimit, &b.limit.Cancel}, {&b.CmdActivate, &b.activate.Cancel},
      {&b.CmdDelay, &b.delay.Cancel}, {&b.CmdSendText, &b.sendText.Cancel},
      {&b.CmdSave, &b.save.Cancel},   {&b.CmdList, &b.edit.Cancel},
      {&b.CmdList, &b.edit.Ok}};
  std::set<const forms::Frame*> seen;
  for (const auto& [opener, cancel] : cancels) {
    opener->click();
    const forms::Frame* shown = b.shownPanel();
    ASSERT_NE(shown, nullptr) << opener->caption();
    EXPECT_EQ(cancel->container(), shown) << opener->caption();
    int visible = 0;
    for (const forms::Control* c : b.controls())
      visible += c->kind() == forms::ControlKind::Frame && c != &b.FrameOptions && c->visible();
    EXPECT_EQ(visible, 1) << opener->caption();
    EXPECT_FALSE(b.HintLabel.visible());
    seen.insert(shown);
    cancel->click();
    EXPECT_EQ(b.shownPanel(), nullptr) << cancel->name();
    EXPECT_TRUE(b.HintLabel.visible());
    EXPECT_EQ(b.HintLabel.caption(), kBuilderHint);
  }
  EXPECT_EQ(seen.size(), 10u);
  EXPECT_EQ(b.run.Path.text(), "kept");
}

TEST_F(BuilderTest, LimitWidensTheWindowAndSampleKeysTogglesTheKeyList) {
  FormMacroBuilder& b = open();
  b.CmdLimit.click();
  EXPECT_EQ(b.width(), 9095);
  b.CmdMouse.click();
  EXPECT_EQ(b.width(), 9095);  // stays wide until the key list or a new load sets it
  b.CmdSendText.click();
  b.sendText.SampleKeys.click();
  EXPECT_TRUE(b.KeyNameList.visible());
  EXPECT_EQ(b.width(), 13175);
  b.sendText.SampleKeys.click();
  EXPECT_FALSE(b.KeyNameList.visible());
  EXPECT_EQ(b.width(), 8445);
}

TEST(KeyNameList, ListsEveryKeyInItsGroup) {
  const std::string expected =
      "Back Space   =  {BACKSPACE}\r\n"
      "Break        =  {BREAK} \r\n"
      "Caps LOCK    =  {CAPSLOCK} \r\n"
      "Del          =  {DEL} \r\n"
      "\r\n\r\n"
      "Enter        =  {ENTER} \r\n"
      "End          =  {END} \r\n"
      "ESC          =  {ESC} \r\n"
      "Help         =  {HELP} \r\n"
      "Home         =  {HOME} \r\n"
      "Insert       =  {INS} \r\n"
      "\r\n"
      "Nun Lock     =  {NUMLOCK} \r\n"
      "Page Down    =  {PGDN} \r\n"
      "Page Up      =  {PGUP} \r\n"
      "Print Screen =  {PRTSC} \r\n"
      "Scroll Lock  =  {SCROLLLOCK} \r\n"
      "\r\n"
      "Tab          =  {TAB} \r\n"
      "UP Arrow     =  {UP} \r\n"
      "Left Arrow   =  {LEFT} \r\n"
      "Right Arrow  =  {RIGHT} \r\n"
      "Down Arrow   =  {DOWN} \r\n"
      "\r\n"
      "F1           =  {F1} \r\n"
      "F2           =  {F2} \r\n"
      "F3           =  {F3} \r\n"
      "F4           =  {F4} \r\n"
      "F5           =  {F5} \r\n"
      "F6           =  {F6} \r\n"
      "F7           =  {F7} \r\n"
      "F8           =  {F8} \r\n"
      "F9           =  {F9} \r\n"
      "F10          =  {F10} \r\n"
      "F11          =  {F11} \r\n"
      "F12          =  {F12} \r\n";
  EXPECT_EQ(keyNameListText(), expected);
}

TEST_F(BuilderTest, TheMouseSamplerRunsUntilItsButtonStopsIt) {
  FormMacroBuilder& b = open();
  app.sim.moveCursor({512, 384});
  b.mouse.GetPosition.click();
  EXPECT_EQ(b.mouse.GetPosition.caption(), "Stop");
  app.run(249);
  EXPECT_EQ(b.mouse.X.text(), "");  // the first sample comes after 250 ms
  app.run(1);
  EXPECT_EQ(b.mouse.X.text(), "512");
  EXPECT_EQ(b.mouse.Y.text(), " 384");  // the position text's blank stays

  // Neither cancelling the panel nor opening another stops it.
  b.mouse.Cancel.click();
  b.CmdDelay.click();
  app.sim.moveCursor({-5, -12});
  app.run(250);
  EXPECT_EQ(b.mouse.X.text(), "-5");
  EXPECT_EQ(b.mouse.Y.text(), "-12");

  b.CmdMouse.click();
  b.mouse.GetPosition.click();
  EXPECT_EQ(b.mouse.GetPosition.caption(), "Get Mouse Position");
  app.sim.moveCursor({7, 8});
  app.run(1000);
  EXPECT_EQ(b.mouse.X.text(), "-5");
  b.mouse.Ok.click();
  EXPECT_EQ(b.MacroText.text(), "m:-5, -12\r\n");
}

TEST_F(BuilderTest, RunMacroRunsTheTextWithTheBuilderDisabled) {
  FormMacroBuilder& b = open();
  b.MacroText.setText("w:a\r\nwaiting=1000\r\nw:b\r\n");
  app.form().setStopRequest(true);  // a Stop given before the run does not end it
  bool disabledDuringRun = false;
  app.sim.loop().at(app.sim.loop().now() + 500, [&] {
    disabledDuringRun = !b.enabled();
    b.CmdClearMacro.click();  // no input reaches the builder meanwhile
    b.CmdRunMacro.click();
    b.CmdExit.click();
    b.close();
  });
  const std::size_t before = app.sim.sentKeys().size();
  b.CmdRunMacro.click();
  EXPECT_TRUE(disabledDuringRun);
  EXPECT_TRUE(b.enabled());
  EXPECT_EQ(app.form().Text1.text(), b.MacroText.text());
  ASSERT_EQ(app.sim.sentKeys().size(), before + 2);
  EXPECT_EQ(app.sim.sentKeys()[before].text, "a");
  EXPECT_EQ(app.sim.sentKeys()[before + 1].text, "b");
  EXPECT_TRUE(messages().empty());
  app.run();
  EXPECT_TRUE(app.program.builderLoaded());
  EXPECT_TRUE(b.visible());
}

TEST_F(BuilderTest, ClearMacroAsksFirst) {
  FormMacroBuilder& b = open();
  b.MacroText.setText("w:a\r\n");
  app.sim.answerNext(platform::MessageAnswer::No);
  b.CmdClearMacro.click();
  EXPECT_EQ(b.MacroText.text(), "w:a\r\n");
  app.sim.answerNext(platform::MessageAnswer::Yes);
  b.CmdClearMacro.click();
  EXPECT_EQ(b.MacroText.text(), "");
  ASSERT_EQ(app.sim.messages().size(), 2u);
  EXPECT_EQ(app.sim.messages()[0].text, "Are you sure you would like to clear the macro text");
  EXPECT_EQ(app.sim.messages()[0].buttons, platform::MessageButtons::YesNo);
}

TEST_F(BuilderTest, ExitShowsTheMainWindowRefreshesItsListAndUnloads) {
  FormMacroBuilder& b = open();
  b.MacroText.setText("w:a\r\n");
  b.mouse.GetPosition.click();
  app.form().hide();
  writeFile("Macro-new.txt", "w:x\r\n");
  b.CmdExit.click();
  EXPECT_TRUE(app.form().visible());
  EXPECT_EQ(app.form().List1.items(), std::vector<std::string>{"Macro-new.txt"});
  app.run();
  EXPECT_FALSE(app.program.builderLoaded());
  // The next Show loads afresh.
  EXPECT_EQ(open().MacroText.text(), "");
}

TEST_F(BuilderTest, TheCloseBoxOnlyUnloads) {
  FormMacroBuilder& b = open();
  b.MacroText.setText("w:a\r\n");
  app.form().hide();
  b.close();
  app.run();
  EXPECT_FALSE(app.program.builderLoaded());
  EXPECT_FALSE(app.form().visible());
}

TEST_F(BuilderTest, AShowBeforeTheUnloadKeepsTheWindow) {
  FormMacroBuilder& b = open();
  b.MacroText.setText("w:a\r\n");
  b.CmdExit.click();
  app.form().Command17.click();
  app.run();
  ASSERT_TRUE(app.program.builderLoaded());
  EXPECT_EQ(&app.program.builder(), &b);
  EXPECT_TRUE(b.visible());
}

TEST_F(BuilderTest, AnExitWhileTheListIsFillingWaitsForTheListing) {
  for (const char* name : {"Macro-AM-a.txt", "Macro-AM-b.txt", "Macro-AM-c.txt"})
    writeFile(name, "w:a\r\n");
  FormMacroBuilder& b = open();
  // Delivered while the listing lets events through.
  app.sim.loop().post([&b] { b.CmdExit.click(); });
  b.CmdList.click();
  ASSERT_TRUE(app.program.builderLoaded());
  EXPECT_EQ(b.edit.Macros.count(), 3u);
  app.run();
  EXPECT_FALSE(app.program.builderLoaded());
}

}  // namespace
}  // namespace qb::test
