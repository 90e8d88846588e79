// Recording with the user's keyboard and mouse, Stop's rewrite, saving, selecting and playing
// back into another program's window, on a real X server.

#include <algorithm>
#include <filesystem>
#include <limits>
#include <thread>

#include "platform/virtual_keys.h"
#include "tests/desktop/recorder_fixture.h"

namespace qb::desktoptest {
namespace {

using x11test::pump;
using x11test::waitFor;

class RecordPlay : public RecorderTest {
 protected:
  // A position inside the probe window, on the root window.
  QPoint in(const ProbeWindow& probe, int x, int y) {
    const auto [rx, ry] = driver().toRoot(probe.window(), x, y);
    return {rx, ry};
  }
  static std::string line(const std::string& prefix, QPoint p) {
    return prefix + std::to_string(p.x()) + ", " + std::to_string(p.y());
  }
  // Waits until the recording's last line (without its stamp) is `expected`.
  bool lastLineIs(const std::string& expected) {
    return waitFor([&] {
      const auto lines = macroLines();
      return !lines.empty() && lines.back() == expected;
    });
  }
  bool recording() { return !form1().Command1.enabled(); }
  std::vector<std::string> keyLines() const {
    std::vector<std::string> lines;
    for (const auto& l : macroLines())
      if (l.rfind("w:", 0) == 0) lines.push_back(l);
    return lines;
  }
};

TEST_F(RecordPlay, RecordsStopsSavesAndReplaysKeysClicksAndADragIntoAnotherWindow) {
  start();
  ProbeWindow probe(folder(), "Road target", {"--focus-on-click"});
  ASSERT_TRUE(probe.waitFocused());
  const QPoint rest = in(probe, 10, 10), pressed = in(probe, 40, 30), from = in(probe, 60, 60),
               via = in(probe, 100, 80), to = in(probe, 140, 120), last = in(probe, 200, 150);
  moveTo(rest);

  // Left Ctrl+R records, while the other window has the keyboard.
  chord({"Control_L"}, "r");
  ASSERT_TRUE(waitFor([&] { return recording(); }));
  ASSERT_TRUE(lastLineIs(line("m:", rest)));
  const std::size_t recordedFrom = probe.events().size();

  // A click: the button is held until the click sampler has seen it.
  moveTo(pressed);
  ASSERT_TRUE(lastLineIs(line("m:", pressed)));
  driver().button(1, true);
  ASSERT_TRUE(waitFor([&] {
    const auto lines = macroLines();
    return std::count(lines.begin(), lines.end(), "m:clickl") == 1 &&
           lines.back() == line("t:", pressed);
  }));
  driver().button(1, false);
  ASSERT_TRUE(lastLineIs(line("m:", pressed)));

  // Keys: a letter, Shift with a letter, the minus key, a digit, Home, End, Enter.
  tap("a");
  chord({"Shift_L"}, "b");
  tap("minus");
  tap("1");
  tap("Home");
  tap("End");
  tap("Return");
  ASSERT_TRUE(lastLineIs("w:{ENTER}"));

  // A drag: pressed at one point, moved through another, released at a third.
  moveTo(from);
  ASSERT_TRUE(lastLineIs(line("m:", from)));
  driver().button(1, true);
  ASSERT_TRUE(lastLineIs(line("t:", from)));
  moveTo(via);
  ASSERT_TRUE(lastLineIs(line("t:", via)));
  moveTo(to);
  ASSERT_TRUE(lastLineIs(line("t:", to)));
  driver().button(1, false);
  ASSERT_TRUE(lastLineIs(line("m:", to)));
  moveTo(last);
  ASSERT_TRUE(lastLineIs(line("m:", last)));

  // Left Ctrl+T stops: neither shortcut leaves a line, the drag becomes a drag start and a
  // drag end around its step, the lone drag step of the click goes, and the text is lower case.
  chord({"Control_L"}, "t");
  ASSERT_TRUE(waitFor([&] { return !recording(); }));
  const std::vector<std::string> expected{line("m:", rest), line("m:", pressed),
                                          "m:clickl",       line("m:", pressed),
                                          "w:{a}",          "w:+{b}",
                                          "w:{-}",          "w:{1}",
                                          "w:{home}",       "w:{end}",
                                          "w:{enter}",      line("m:", from),
                                          line("q:", from), line("t:", via),
                                          line("u:", to),   line("m:", to),
                                          line("m:", last)};
  ASSERT_EQ(macroLines(), expected);
  EXPECT_TRUE(form1().Command2.enabled());
  EXPECT_FALSE(form1().Command5.enabled());
  // The stamps are the tick counts of the moments the lines were made, in order.
  std::int64_t previous = std::numeric_limits<std::int64_t>::min();
  for (const std::string& l : linesOf(form1().Text1.text())) {
    const std::int64_t stamp = std::stoll(l.substr(l.rfind('-') + 1));
    EXPECT_GE(stamp, previous) << l;
    previous = stamp;
  }
  const std::string recorded = form1().Text1.text();
  // The window had the keys and both clicks meanwhile.
  ASSERT_TRUE(waitFor([&] {
    return probe.typed() == "aB-1\r" && probe.count("button-release") == 2;
  })) << probe.typed();
  const std::vector<std::string> typedWhileRecording = received(probe.events(), recordedFrom);

  // Save Macro under a name typed into the name field.
  fill(widget(form1().Text2), "road trip");
  click(form1().Command4);
  const std::string file = macroFolder() + "/Macro-road trip.txt";
  ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(file); }));
  EXPECT_EQ(readFile(file), recorded + "\r\n");
  EXPECT_EQ(form1().List1.items(), std::vector<std::string>{"Macro-road trip.txt"});
  EXPECT_EQ(form1().Text1.text(), "");
  EXPECT_EQ(form1().Text2.text(), "");
  EXPECT_FALSE(form1().Command2.enabled());

  // A click on the list entry loads it; Play plays it into the other window, which takes the
  // keyboard with the recorded click.
  clickItem(form1().List1, 0);
  ASSERT_TRUE(waitFor([&] { return form1().Text1.text() == recorded + "\r\n"; }));
  const std::size_t playedFrom = probe.events().size();
  click(form1().Command2);
  ASSERT_TRUE(waitFor(
      [&] { return received(probe.events(), playedFrom).size() >= typedWhileRecording.size(); },
      15000));
  ASSERT_TRUE(waitFor([&] { return form1().playingMark().empty(); }));
  pump(100);
  EXPECT_EQ(received(probe.events(), playedFrom), typedWhileRecording);
  EXPECT_EQ(driver().pointer(), std::pair(last.x(), last.y()));  // the last move was played
  EXPECT_EQ(probe.typed(), "aB-1\raB-1\r");
  EXPECT_TRUE(form1().Command1.enabled());
  EXPECT_TRUE(form1().Command2.enabled());
  EXPECT_EQ(boxes().texts(), std::vector<std::string>{});
}

TEST_F(RecordPlay, ADoubleClickIsRecordedAndPlayedAsADoubleClick) {
  start();
  ProbeWindow probe(folder(), "Double click target");
  ASSERT_TRUE(probe.waitFocused());
  const QPoint at = in(probe, 50, 50);
  moveTo(at);
  chord({"Control_L"}, "r");
  ASSERT_TRUE(waitFor([&] { return recording(); }));
  ASSERT_TRUE(lastLineIs(line("m:", at)));
  // Two double clicks half a second apart, each two 70 ms presses 80 ms apart, as a quick hand
  // makes them. Another reader of the button's newly-pressed state sees each press first, as
  // another program's query may.
  for (int press = 0; press < 4; ++press) {
    if (press > 0) pump(press == 2 ? 500 : 80);
    driver().button(1, true);
    driver().sync();
    program().desktop.keyState.asyncKeyState(platform::vk::LButton);
    pump(70);
    driver().button(1, false);
    driver().sync();
  }
  ASSERT_TRUE(lastLineIs(line("m:", at)));
  chord({"Control_L"}, "t");
  ASSERT_TRUE(waitFor([&] { return !recording(); }));
  const auto lines = macroLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "m:clickl"), 4) << form1().Text1.text();

  // Played back, the window receives each pair of clicks on the same spot within a double
  // click's time, and the pairs apart.
  const std::size_t playedFrom = probe.events().size();
  chord({"Control_L"}, "p");
  ASSERT_TRUE(waitFor([&] { return probe.count("button-release") == 8; }, 10000));
  ASSERT_TRUE(waitFor([&] { return form1().playingMark().empty(); }));
  const auto point = std::to_string(at.x()) + "," + std::to_string(at.y());
  std::vector<std::string> clicks;
  for (int n = 0; n < 4; ++n)
    clicks.insert(clicks.end(), {"button-press 1 " + point, "button-release 1 " + point});
  EXPECT_EQ(received(probe.events(), playedFrom), clicks);
  std::vector<unsigned long> pressTimes;
  const auto events = probe.events();
  for (std::size_t i = playedFrom; i < events.size(); ++i)
    if (events[i].kind == "button-press" && events[i].fields.size() >= 4)
      pressTimes.push_back(std::stoul(events[i].fields[3]));
  ASSERT_EQ(pressTimes.size(), 4u);
  EXPECT_LE(pressTimes[1] - pressTimes[0], 400u) << "too far apart for a double click";
  EXPECT_LE(pressTimes[3] - pressTimes[2], 400u) << "too far apart for a double click";
  EXPECT_GE(pressTimes[2] - pressTimes[1], 400u) << "the two double clicks ran together";
}

TEST_F(RecordPlay, CapsLockActsOnPlayedLettersAsOnTypedOnes) {
  start();
  driver().setCapsLock(false);
  ProbeWindow probe(folder(), "Caps target");
  ASSERT_TRUE(probe.waitFocused());

  // Caps Lock turned on and off inside the recording.
  chord({"Control_L"}, "r");
  ASSERT_TRUE(waitFor([&] { return recording(); }));
  for (const char* key : {"Caps_Lock", "a", "b", "Caps_Lock", "c"}) tap(key);
  ASSERT_TRUE(waitFor([&] { return keyLines().size() == 5; }));
  chord({"Control_L"}, "t");
  ASSERT_TRUE(waitFor([&] { return !recording(); }));
  EXPECT_EQ(keyLines(),
            (std::vector<std::string>{"w:{capslock}", "w:{a}", "w:{b}", "w:{capslock}", "w:{c}"}));
  ASSERT_TRUE(waitFor([&] { return probe.typed() == "ABc"; })) << probe.typed();
  chord({"Control_L"}, "p");
  ASSERT_TRUE(waitFor([&] { return probe.typed() == "ABcABc"; }, 10000)) << probe.typed();
  ASSERT_TRUE(waitFor([&] { return form1().playingMark().empty(); }));
  EXPECT_FALSE(driver().capsLocked());

  // Caps Lock already on when a recorded a plays. Left Ctrl+R starts a recording once per
  // second of the clock.
  pump(1100);
  chord({"Control_L"}, "r");
  ASSERT_TRUE(waitFor([&] { return recording() && keyLines().empty(); }));
  tap("a");
  ASSERT_TRUE(waitFor([&] { return keyLines().size() == 1; }));
  chord({"Control_L"}, "t");
  ASSERT_TRUE(waitFor([&] { return !recording(); }));
  ASSERT_TRUE(waitFor([&] { return probe.typed() == "ABcABca"; })) << probe.typed();
  driver().setCapsLock(true);
  chord({"Control_L"}, "p");
  const bool played = waitFor([&] { return probe.typed() == "ABcABcaA"; }, 10000);
  waitFor([&] { return form1().playingMark().empty(); });
  EXPECT_TRUE(driver().capsLocked()) << "the play leaves the lock alone";
  driver().setCapsLock(false);
  EXPECT_TRUE(played) << probe.typed();
}

TEST_F(RecordPlay, AKeyLineCarriesTheMomentOfTheKeyNotOfItsHandling) {
  start();
  ProbeWindow probe(folder(), "Busy target");
  ASSERT_TRUE(probe.waitFocused());
  chord({"Control_L"}, "r");
  ASSERT_TRUE(waitFor([&] { return recording(); }));
  const std::int32_t before = platform::tickCount(program().desktop.clock.now());
  driver().tap("a");
  driver().sync();
  // The program is busy for 300 ms before it handles the key.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::int32_t busyUntil = platform::tickCount(program().desktop.clock.now());
  ASSERT_TRUE(waitFor([&] { return keyLines().size() == 1; }));
  std::int32_t stamp = 0;
  for (const std::string& l : linesOf(form1().Text1.text()))
    if (l.rfind("w:", 0) == 0) stamp = std::stoi(l.substr(l.rfind('-') + 1));
  EXPECT_GE(stamp, before);
  EXPECT_LT(stamp, busyUntil - 200)
      << "stamped when handled, " << busyUntil - stamp << " ms after the key";
  chord({"Control_L"}, "t");
  ASSERT_TRUE(waitFor([&] { return !recording(); }));
}

TEST_F(RecordPlay, RecordsTheKeyLinesOfKeysAndModifiersAsTheKeyboardSentThem) {
  struct KeyCase {
    std::vector<std::string> held;
    std::string key;
    std::vector<std::string> lines;  // the key lines after Stop
  };
  const std::vector<KeyCase> cases{
      {{}, "a", {"w:{a}"}},
      {{"Shift_L"}, "a", {"w:+{a}"}},
      {{"Shift_R"}, "a", {"w:+{a}"}},
      {{}, "minus", {"w:{-}"}},
      {{"Control_L"}, "c", {"w:^{c}"}},
      // The right Ctrl key counts only with extended keys; Home and End carry the modifiers
      // the hook saw go down.
      {{"Control_R"}, "c", {"w:{c}"}},
      {{"Control_R"}, "Home", {"w:^{home}"}},
      {{"Control_L"}, "End", {"w:^{end}"}},
      {{"Shift_L"}, "Home", {"w:+{home}"}},
      {{"Control_L", "Shift_L"}, "Home", {"w:^+{home}"}},
      {{"Shift_L"}, "Right", {"w:{right}"}},
      {{"Alt_L"}, "F4", {"w:%{f4}"}},
      {{}, "Pause", {"w:{break}"}},
      {{}, "F5", {}},       // a function key is never recorded, and with no hot key it passes on
      {{}, "Shift_L", {}},  // nor a modifier alone
  };
  start();
  ProbeWindow probe(folder(), "Key target");
  ASSERT_TRUE(probe.waitFocused());
  // The Record button, then Left Ctrl+R while recording: it starts over with an empty text.
  click(form1().Command1);
  ASSERT_TRUE(waitFor([&] { return recording(); }));
  driver().activate(probe.window());
  ASSERT_TRUE(probe.waitFocused());
  tap("x");
  ASSERT_TRUE(waitFor([&] { return keyLines().size() == 1; }));
  chord({"Control_L"}, "r");
  ASSERT_TRUE(waitFor([&] { return keyLines().empty(); }));

  std::vector<std::string> expected;
  for (const KeyCase& c : cases) {
    std::string name;
    for (const auto& h : c.held) name += h + "+";
    name += c.key;
    const std::size_t seenBefore = probe.events().size();
    chord(c.held, c.key);
    // The key reaches the window whatever is recorded; its line is there by then.
    ASSERT_TRUE(waitFor([&] {
      return !received(probe.events(), seenBefore).empty() || c.key == "Shift_L";
    })) << name;
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    ASSERT_TRUE(waitFor([&] { return keyLines().size() == expected.size(); })) << name;
  }
  chord({"Control_L"}, "t");
  ASSERT_TRUE(waitFor([&] { return !recording(); }));
  EXPECT_EQ(keyLines(), expected);
  // The shortcuts were taken from the window.
  EXPECT_EQ(probe.presses("r"), 0u);
  EXPECT_EQ(probe.presses("t"), 0u);
}

TEST_F(RecordPlay, TheBreakKeyAndLeftCtrlTStopAPlayAndReleaseTheButtonItHolds) {
  ProbeWindow probe(folder(), "Stop target", {"--focus-on-click"});
  ASSERT_TRUE(probe.waitFocused());
  const QPoint first = in(probe, 30, 30), held = in(probe, 50, 40), moved = in(probe, 70, 50),
               end = in(probe, 90, 70);
  // "a", a drag whose next step comes two seconds later, then "b" and the drag's end. A stop
  // during the pause ends the play once the pause and its line are over.
  writeFile(macroFolder() + "/Macro-long.txt",
            line("m:", first) + "-1000\r\nw:{a}-1000\r\n" + line("q:", held) + "-1100\r\n" +
                line("t:", moved) + "-3100\r\nw:{b}-3100\r\n" + line("u:", end) + "-3200\r\n");
  start();
  struct StopCase {
    std::vector<std::string> held;
    std::string key;
  };
  for (const StopCase& c : {StopCase{{}, "Pause"}, StopCase{{"Control_L"}, "t"}}) {
    const std::string name = c.held.empty() ? c.key : c.held[0] + "+" + c.key;
    clickItem(form1().List1, 0);
    ASSERT_TRUE(waitFor([&] { return form1().Text1.text().find("w:{b}") != std::string::npos; }));
    driver().activate(probe.window());
    ASSERT_TRUE(probe.waitFocused());
    const std::size_t from = probe.events().size();
    const auto seen = [&] { return received(probe.events(), from); };
    WhenReady stopKey(
        [&] {
          const auto s = seen();
          return std::find(s.begin(), s.end(), "key a 61") != s.end() &&
                 std::find(s.begin(), s.end(),
                           "button-press 1 " + std::to_string(held.x()) + "," +
                               std::to_string(held.y())) != s.end();
        },
        [&] {
          for (const auto& m : c.held) driver().key(m, true);
          driver().tap(c.key);
          for (const auto& m : c.held) driver().key(m, false);
          driver().sync();
        });
    chord({"Control_L"}, "p");  // Left Ctrl+P plays
    ASSERT_TRUE(waitFor([&] { return stopKey.done() && form1().playingMark().empty(); }, 10000))
        << name;
    pump(100);
    const auto at = [](QPoint p) { return std::to_string(p.x()) + "," + std::to_string(p.y()); };
    std::vector<std::string> expected{"key a 61", "button-press 1 " + at(held)};
    // The stop keys pass on to the window while a macro plays.
    expected.push_back(c.key == "t" ? "key t 14" : "key Pause -");
    expected.push_back("button-release 1 " + at(moved));  // released where the stop found it
    EXPECT_EQ(seen(), expected) << name;
    EXPECT_TRUE(form1().Command1.enabled()) << name;
    EXPECT_TRUE(form1().Command2.enabled()) << name;
  }
  EXPECT_EQ(probe.presses("p"), 0u);
}

}  // namespace
}  // namespace qb::desktoptest
