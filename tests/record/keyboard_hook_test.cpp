#include "record/keyboard_hook.h"

#include <gtest/gtest.h>

#include "platform/virtual_keys.h"
#include "support/sim_program.h"

namespace qb {
namespace {

namespace vk = platform::vk;

using platform::kHookAltDown;
using platform::kHookExtended;
using platform::kHookInjected;
using platform::kHookUp;
using test::SimProgram;

struct Ev {
  std::uint32_t vk;
  std::uint32_t flags;
};
Ev D(std::uint32_t vk) {
  return {vk, SimProgram::extended(vk)};
}
Ev U(std::uint32_t vk) {
  return {vk, SimProgram::extended(vk) | kHookUp};
}
Ev E(std::uint32_t vk, std::uint32_t flags) {
  return {vk, flags};
}

// What a recording makes of key events, stamps aside.
TEST(KeyHook, RecordedKeyLines) {
  struct Case {
    const char* what;
    std::vector<Ev> events;
    std::vector<std::string> lines;
  };
  const std::uint32_t A = 'A', Home = vk::Home, LS = vk::LShift, RS = vk::RShift, LC = vk::LControl,
                      RC = vk::RControl, LA = vk::LMenu;
  const Case cases[] = {
      {"a pressed and released", {D(A), U(A)}, {"w:{A}"}},
      {"auto-repeat", {D(A), D(A), D(A), U(A)}, {"w:{A}", "w:{A}", "w:{A}"}},
      {"Shift+A", {D(LS), D(A), U(A), U(LS)}, {"w:+{A}"}},
      {"right Shift+A", {D(RS), D(A), U(A), U(RS)}, {"w:+{A}"}},
      {"Ctrl+Shift+Home", {D(LC), D(LS), E(Home, 1), E(Home, 0x81), U(LS), U(LC)}, {"w:^+{HOME}"}},
      {"Shift+End", {D(LS), E(vk::End, 1), U(LS)}, {"w:+{END}"}},
      {"Shift+Right arrow", {D(LS), E(vk::Right, 1), U(LS)}, {"w:{right}"}},
      {"right Ctrl+C", {D(RC), D('C'), U('C'), U(RC)}, {"w:{C}"}},
      {"right Ctrl+Home", {D(RC), E(Home, 1), U(RC)}, {"w:^{HOME}"}},
      {"left Ctrl+C", {D(LC), D('C'), U('C'), U(LC)}, {"w:^{C}"}},
      {"left Alt+F4",
       {E(LA, kHookAltDown), E(vk::F1 + 3, kHookAltDown), E(LA, kHookUp)},
       {"w:%{f4}"}},
      {"AltGr+Q", {E(vk::RMenu, 0x21), E('Q', kHookAltDown), E(vk::RMenu, 0x81)}, {}},
      {"Alt with an extended key", {E(LA, kHookAltDown), E(Home, 0x21)}, {}},
      {"Ctrl pressed while Shift is held", {D(LS), D(LC)}, {"w:+{\xA2}"}},
      {"left Shift pressed while Ctrl is held", {D(LC), D(LS)}, {}},
      {"right Shift pressed while left Ctrl is held", {D(LC), D(RS)}, {"w:^{\xA1}"}},
      {"lone modifiers", {D(LS), U(LS), D(RS), U(RS), D(LC), U(LC), D(RC), U(RC)}, {}},
      {"numeric keypad 1", {D(vk::Numpad1), U(vk::Numpad1)}, {"w:{a}"}},
      {"minus", {D(vk::OemMinus), U(vk::OemMinus)}, {"w:{-}"}},
      {"Break", {D(vk::Pause), U(vk::Pause)}, {"w:{BREAK}"}},
      {"injected keys",
       {E(A, kHookInjected), E(Home, kHookInjected | 1), E(LC, kHookInjected)},
       {}},
      {"Ctrl+grave suspends: itself recorded, nothing after",
       {D(LC), D(vk::Oem3), U(LC), D(A)},
       {"w:^{`}"}},
  };
  for (const Case& c : cases) {
    SimProgram p;
    p.run(1234);
    p.form().Command1.click();
    std::string expected;
    for (const auto& line : c.lines) expected += line + "-1234\r\n";
    for (const Ev& e : c.events) EXPECT_FALSE(p.key(e.vk, e.flags)) << c.what;
    EXPECT_EQ(p.text(), expected) << c.what;
  }
}

TEST(KeyHook, KeyLinesCarryTheTimeOfTheKeyEvent) {
  struct Case {
    const char* what;
    std::uint32_t eventTime;  // 0: the desktop gives none
    std::string line;         // handled at 1500
  };
  const Case cases[] = {
      {"handled 300 ms late", 1200, "w:{A}-1200\r\n"},
      {"handled at once", 1500, "w:{A}-1500\r\n"},
      {"no event time", 0, "w:{A}-1500\r\n"},
      // The tick count has wrapped past 2^31 at the event: a negative stamp, as GetTickCount's.
      {"past the tick count's sign", 0x80000010u, "w:{A}--2147483632\r\n"},
  };
  for (const Case& c : cases) {
    SimProgram p;
    p.run(1000);
    p.form().Command1.click();
    p.form().Timer1.setRunning(false);  // the mouse plays no part here
    p.form().Timer4.setRunning(false);
    p.run(500);
    EXPECT_FALSE(p.sim.pressKey(platform::HookKeyEvent{'A', 0, 0, c.eventTime, 0})) << c.what;
    p.sim.pressKey(platform::HookKeyEvent{'A', 0, kHookUp, c.eventTime + 5, 0});
    EXPECT_EQ(p.text(), c.line) << c.what;
  }
}

TEST(KeyHook, AKeyHandledAfterALaterLineTakesThatLinesMoment) {
  SimProgram p;
  p.run(1000);
  p.form().Command1.click();
  p.form().Timer1.setRunning(false);
  p.form().Timer4.setRunning(false);
  p.run(500);
  // A sampler line of 1490 went in while the key of 1200 waited to be handled.
  p.form().Text1.append("m:5,6-1490\r\n");
  p.sim.pressKey(platform::HookKeyEvent{'A', 0, 0, 1200, 0});
  p.sim.pressKey(platform::HookKeyEvent{'B', 0, 0, 1495, 0});
  EXPECT_EQ(p.text(), "m:5,6-1490\r\nw:{A}-1490\r\nw:{B}-1495\r\n");
}

TEST(KeyHook, NothingIsRecordedWhileIdle) {
  SimProgram p;
  p.tap('A');
  p.chord(vk::LShift, 'B');
  EXPECT_EQ(p.text(), "");
}

TEST(KeyHook, ShortcutsRunAfterTheCallbackReturns) {
  SimProgram p;
  EXPECT_TRUE(p.chord(vk::LControl, 'R'));
  EXPECT_TRUE(p.form().Command1.enabled()) << "Record runs once the hook has answered";
  p.run();
  EXPECT_FALSE(p.form().Command1.enabled());
  EXPECT_TRUE(p.form().Timer1.running());
  EXPECT_TRUE(p.form().Timer4.running());

  p.tap('A');
  EXPECT_TRUE(p.chord(vk::LControl, 'T'));
  EXPECT_TRUE(p.form().stopRequested());
  p.run();
  // Stopping with Ctrl+T leaves no trace of the Ctrl key or the T.
  EXPECT_EQ(p.text(), "w:{a}-0\r\n");
  EXPECT_TRUE(p.form().Command1.enabled());
  EXPECT_FALSE(p.form().Timer1.running());

  // While idle, Ctrl+T runs Stop on whatever the field holds.
  p.run(1000);
  p.form().Text1.setText("W:{HOME}-7\r\nlast");
  EXPECT_TRUE(p.chord(vk::LControl, 'T'));
  p.run();
  EXPECT_EQ(p.text(), "w:{home}-7\r\n");
}

TEST(KeyHook, RightCtrlIsNoShortcut) {
  SimProgram p;
  p.form().Command1.click();
  EXPECT_FALSE(p.chord(vk::RControl, 'R'));
  EXPECT_FALSE(p.chord(vk::LControl, 'R', kHookInjected));
  p.run();
  EXPECT_EQ(p.text(), "w:{R}-0\r\n");
}

TEST(KeyHook, CtrlRTwiceInOneSecondRecordsOnce) {
  SimProgram p;
  p.run(500);
  EXPECT_TRUE(p.chord(vk::LControl, 'R'));
  p.run();
  p.form().Timer1.setRunning(false);  // the mouse plays no part here
  p.form().Timer4.setRunning(false);
  p.tap('A');
  p.run(300);  // the same second of the wall clock
  EXPECT_TRUE(p.chord(vk::LControl, 'R'));
  p.run();
  EXPECT_EQ(p.text(), "w:{A}-500\r\n");

  p.sim.loop().runUntil(2000);  // a new second: Record starts over
  EXPECT_TRUE(p.chord(vk::LControl, 'R'));
  p.run();
  EXPECT_EQ(p.text(), "");
}

TEST(KeyHook, CtrlPAndCtrlYPlayWhatTheFieldHolds) {
  for (const std::uint32_t letter : {'P', 'Y'}) {
    SimProgram p;
    p.form().Text1.setText("m:1, 2-100\r\nm:3, 4-600\r\n");
    EXPECT_TRUE(p.chord(vk::LControl, letter));
    EXPECT_TRUE(p.actions().empty());
    p.run();  // the whole play runs in the posted task
    EXPECT_EQ(p.actions(), (std::vector<std::string>{"0 SetMousePos 1 2", "500 SetMousePos 3 4"}));
    EXPECT_EQ(p.form().playingMark(), "");
  }
}

TEST(KeyHook, StopKeysDuringAPlayPassOnAndStopIt) {
  struct Case {
    const char* what;
    std::function<bool(SimProgram&)> press;
  };
  const Case cases[] = {
      {"Break", [](SimProgram& p) { return p.tap(vk::Pause); }},
      {"injected Break", [](SimProgram& p) { return p.tap(vk::Pause, kHookInjected); }},
      {"left Ctrl+T", [](SimProgram& p) { return p.chord(vk::LControl, 'T'); }},
  };
  for (const Case& c : cases) {
    SimProgram p;
    p.form().Text1.setText("m:1, 1-0\r\nm:2, 2-1000\r\nm:3, 3-2000\r\n");
    bool swallowed = true;
    p.sim.loop().at(500, [&] { swallowed = c.press(p); });
    p.chord(vk::LControl, 'P');
    p.run(5000);
    EXPECT_FALSE(swallowed) << c.what;
    // The pause under way is completed; the play ends at the head of the next line.
    EXPECT_EQ(p.actions(), (std::vector<std::string>{"0 SetMousePos 1 1", "1000 SetMousePos 2 2"}))
        << c.what;
    EXPECT_TRUE(p.form().Command5.enabled()) << c.what << ": the Stop action did not run";
  }
}

TEST(KeyHook, KeysPressedBeforeAPostedActionRanKeepTheirOrder) {
  {
    SimProgram p;  // recorded after the Record that empties the field
    p.form().Text1.setText("old\r\n");
    p.chord(vk::LControl, 'R');
    p.tap('A');
    p.run();
    EXPECT_EQ(p.text(), "w:{A}-0\r\n");
  }
  {
    SimProgram p;  // a stop key reaches a play posted before it
    p.form().Text1.setText("m:1, 1-0\r\nm:2, 2-1000\r\n");
    p.chord(vk::LControl, 'P');
    p.tap(vk::Pause);
    p.run(5000);
    EXPECT_TRUE(p.actions().empty());
  }
  {
    SimProgram p;  // shortcuts and hot keys wait behind a posted play as behind a running one
    p.program.form2.text(5).setText("x");
    p.form().Text1.setText("m:1, 1-0\r\n");
    p.chord(vk::LControl, 'P');
    EXPECT_FALSE(p.tap(vk::F1 + 4));
    EXPECT_FALSE(p.chord(vk::LControl, 'R'));
    p.run(1000);
    EXPECT_TRUE(p.sim.sentKeys().empty());
    EXPECT_FALSE(p.form().Timer1.running()) << "Record did not run";
  }
}

TEST(KeyHook, SuspendKeyLeavesOnlyTheStopKeys) {
  for (const std::uint32_t ctrl : {vk::LControl, vk::RControl}) {
    SimProgram p;
    p.program.form2.text(5).setText("x");
    p.program.form2.option(3, 5).setValue(1);
    EXPECT_FALSE(p.chord(ctrl, vk::Oem3));
    EXPECT_EQ(p.form().playingMark(), "Break");

    EXPECT_FALSE(p.chord(vk::LControl, 'R'));
    EXPECT_FALSE(p.tap(vk::F1 + 4));
    p.form().Command1.setEnabled(false);  // as if recording
    EXPECT_FALSE(p.tap('A'));
    p.form().Command1.setEnabled(true);
    EXPECT_FALSE(p.chord(vk::LControl, 'T'));
    p.run();
    EXPECT_TRUE(p.form().stopRequested());
    EXPECT_EQ(p.text(), "");
    EXPECT_TRUE(p.sim.sentKeys().empty());

    // A play started with the Play button clears the mark when it ends.
    p.form().Text1.setText("m:1, 1-0\r\n");
    p.form().Command2.click();
    EXPECT_EQ(p.form().playingMark(), "");
    EXPECT_TRUE(p.chord(vk::LControl, 'R'));
  }
}

TEST(KeyHook, RemovedHookSeesNothing) {
  SimProgram p;
  EXPECT_TRUE(p.program.hook.installed());
  EXPECT_TRUE(p.program.hook.InstallKeyHook());
  EXPECT_TRUE(p.program.hook.RemoveKeyHook());
  EXPECT_FALSE(p.program.hook.RemoveKeyHook());
  EXPECT_FALSE(p.chord(vk::LControl, 'R'));
  EXPECT_FALSE(p.tap(vk::Pause));
  EXPECT_FALSE(p.form().stopRequested());
}

TEST(KeyHook, TracksCtrlAndShiftFromItsOwnEvents) {
  SimProgram p;
  KeyboardHook& hook = p.program.hook;
  p.down(vk::LShift);
  p.down(vk::RControl);
  EXPECT_EQ(hook.ShiftHeld, -1);
  EXPECT_EQ(hook.CtrlHeld, -1);
  p.up(vk::LShift);
  p.up(vk::RControl);
  EXPECT_EQ(hook.ShiftHeld, 0);
  EXPECT_EQ(hook.CtrlHeld, 0);
  p.key(vk::LShift, kHookInjected);  // flags are compared whole
  p.key(vk::RShift, 0);              // the right Shift key is not extended
  EXPECT_EQ(hook.ShiftHeld, 0);
}

using Keys = std::vector<platform::SwallowableKey>;

TEST(KeyHook, AnnouncesTheKeysItMaySwallow) {
  SimProgram p([](platform::sim::SimDesktop& sim) {
    EXPECT_TRUE(sim.settings().write("Hotkeys", "text1-5", "abc"));
    EXPECT_TRUE(sim.settings().write("Hotkeys", "text1-6", "def"));
    EXPECT_TRUE(sim.settings().write("Hotkeys", "Check4-6", "1"));
    EXPECT_TRUE(sim.settings().write("Hotkeys", "Check4-7", "1"));  // no text: never fires
  });
  const Keys shortcuts = {{'R', true}, {'T', true}, {'P', true}, {'Y', true}};
  Keys idle = shortcuts;
  idle.insert(idle.end(), {{vk::F1 + 4, false}, {vk::F1 + 4, true}, {vk::F1 + 5, true}});
  auto& announced = p.hookSource.announced;
  ASSERT_FALSE(announced.empty());
  EXPECT_EQ(announced.back(), idle);

  p.program.form2.text(5).setText("  ");
  EXPECT_EQ(announced.back(),
            (Keys{shortcuts[0], shortcuts[1], shortcuts[2], shortcuts[3], {vk::F1 + 5, true}}));
  p.program.form2.option(4, 6).setValue(0);
  EXPECT_EQ(announced.back().back(), (platform::SwallowableKey{vk::F1 + 5, true}));
  EXPECT_EQ(announced.back().size(), 6u);

  // Busy: nothing, from the moment a play is posted until it has ended.
  p.form().Text1.setText("m:1, 1-0\r\nm:2, 2-1000\r\n");
  p.chord(vk::LControl, 'P');
  EXPECT_EQ(announced.back(), Keys{});
  const std::size_t before = announced.size();
  std::size_t during = 0;
  p.sim.loop().at(500, [&] { during = announced.size(); });
  p.run(2000);
  EXPECT_EQ(during, before) << "nothing changes while it plays";
  EXPECT_EQ(announced.back().size(), 6u);

  p.chord(vk::LControl, vk::Oem3);
  EXPECT_EQ(announced.back(), Keys{});
}

TEST(KeyHook, AHeldShortcutActsOnceAndItsRepeatsAndReleaseAreSwallowed) {
  {
    // Ctrl+P held: the keyboard's repeats come while the play it started runs.
    SimProgram p;
    p.form().Text1.setText("m:1, 1-0\r\nm:2, 2-1000\r\n");
    std::vector<bool> answers;
    for (const platform::Ms at : {300, 330, 360})
      p.sim.loop().at(at, [&] { answers.push_back(p.key('P')); });
    p.sim.loop().at(400, [&] { answers.push_back(p.key('P', kHookUp)); });
    p.sim.loop().at(450, [&] { p.up(vk::LControl); });
    p.down(vk::LControl);
    EXPECT_TRUE(p.key('P'));
    p.run(5000);
    EXPECT_EQ(answers, (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(p.actions(), (std::vector<std::string>{"0 SetMousePos 1 1", "1000 SetMousePos 2 2"}))
        << "played more than once";
    // Let go, the key is an ordinary key again.
    EXPECT_FALSE(p.tap('P'));
  }
  {
    // Ctrl+R held: its repeats do not start the recording again (which would empty it).
    SimProgram p;
    p.down(vk::LControl);
    EXPECT_TRUE(p.key('R'));
    p.run();
    ASSERT_FALSE(p.form().Command1.enabled());
    p.form().Text1.append("m:5, 5-1\r\n");
    EXPECT_TRUE(p.key('R'));
    EXPECT_TRUE(p.key('R'));
    p.run();
    EXPECT_EQ(p.text(), "m:5, 5-1\r\n");
    EXPECT_TRUE(p.key('R', kHookUp));
    p.up(vk::LControl);
    EXPECT_FALSE(p.form().Command1.enabled());
  }
}

}  // namespace
}  // namespace qb
