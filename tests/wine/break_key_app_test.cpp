// The recorder's own keys held down, with the keyboard repeating them, while another program's
// window is in front: Left Ctrl+R, Left Ctrl+T and Left Ctrl+P act once and never reach that
// window; Break held through a play's pause stops it once. And Break stopping a play in the
// middle of a drag leaves nothing held.

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sstream>
#include <thread>

#include "recorder_window.h"

namespace qb::winetest {
namespace {

using namespace std::chrono_literals;

constexpr const char* kTarget = "QB Keys Target";
constexpr int kVkLButton = 1;

class BreakKeyApp : public RecorderWindowTest {
 protected:
  // The probe first (the macros point into it), then the recorder with `macro` as its only
  // macro, chosen in the list; the keyboard repeats held keys after 300 ms, every 30 ms.
  void startWithMacro(const std::function<std::string(const TopWindow& target)>& macro) {
    driver().setAutoRepeat(300, 30);
    startProbe(kTarget);
    target_ = *inspector().window(kTarget);
    writeMacro("Macro-held.txt", macro(target_));
    startRecorder();
    const auto list = macroList();
    ASSERT_TRUE(waitFor([&] { return inspector().items(list.handle).size() == 1; }));
    clickEntry(list, 0);
    ASSERT_TRUE(waitFor([&] { return control("Play").enabled; }));
  }
  // Holds `key` (with Left Ctrl when asked) for `duration`, calling `meanwhile` halfway.
  void hold(bool ctrl, const std::string& key, std::chrono::milliseconds duration,
            const std::function<void()>& meanwhile = {}) {
    if (ctrl) driver().key("Control_L", true);
    driver().key(key, true);
    driver().sync();
    std::this_thread::sleep_for(duration / 2);
    if (meanwhile) meanwhile();
    std::this_thread::sleep_for(duration / 2);
    driver().key(key, false);
    if (ctrl) driver().key("Control_L", false);
    driver().sync();
    std::this_thread::sleep_for(200ms);
  }
  // The probe's log lines about the virtual key `vk` (down, up) or its character `code`.
  std::vector<std::string> probeSaw(int vk, int code) {
    std::vector<std::string> seen;
    for (const std::string name : {"keydown", "keyup", "syskeydown", "syskeyup"})
      for (const auto& line : probeEvents(name))
        if (line.find(" " + name + " " + std::to_string(vk) + " ") != std::string::npos)
          seen.push_back(line);
    for (const auto& line : probeEvents("char"))
      if (line.find(" char " + std::to_string(code) + " ") != std::string::npos)
        seen.push_back(line);
    return seen;
  }
  std::vector<std::string> macroLines() {
    return macroLinesOf(text(multiLineField(recorder_.handle)));
  }
  bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }
  static std::string at(int x, int y) { return std::to_string(x) + ", " + std::to_string(y); }

  TopWindow target_;
};

TEST_F(BreakKeyApp, HeldCtrlRAndCtrlTRecordAndStopOnceAndNeverReachTheWindowInFront) {
  startWithMacro([](const TopWindow&) { return std::string("w:{a}-100\r\n"); });
  click(recorder_.handle, "&Options");  // the macro field shown whole
  activate(target_);
  const int x = target_.x + 60, y = target_.y + 80;
  moveTo(x, y);

  // A repeated Record would start the recording again and lose the move made meanwhile.
  hold(true, "r", 2s, [&] {
    ASSERT_TRUE(waitFor([&] { return !control("Record").enabled; }, 1s)) << "Ctrl+R: no record";
    moveTo(x + 30, y + 20);
    ASSERT_TRUE(waitFor([&] { return has(macroLines(), "m:" + at(x + 30, y + 20)); }, 1s));
  });
  EXPECT_TRUE(has(macroLines(), "m:" + at(x + 30, y + 20)))
      << "the recording started again while Ctrl+R was held";
  EXPECT_FALSE(control("Record").enabled);

  type("abc");
  moveTo(x + 50, y + 40);
  ASSERT_TRUE(waitFor([&] { return has(macroLines(), "m:" + at(x + 50, y + 40)); }));
  // A repeated Stop would work on the recording twice and cut more than the stop key's lines.
  hold(true, "t", 2s);
  ASSERT_TRUE(waitFor([&] { return control("Record").enabled; })) << "Ctrl+T did not stop";
  const auto lines = macroLines();
  for (const std::string& expected : std::vector<std::string>{
           "m:" + at(x + 30, y + 20), "w:{a}", "w:{b}", "w:{c}", "m:" + at(x + 50, y + 40)})
    EXPECT_TRUE(has(lines, expected)) << expected << " missing";
  for (const auto& line : lines) {
    EXPECT_EQ(line.find("{r}"), std::string::npos) << line;
    EXPECT_EQ(line.find("{t}"), std::string::npos) << line;
  }
  EXPECT_TRUE(probeSaw('R', 'r' - 'a' + 1).empty()) << probeSaw('R', 'r' - 'a' + 1).front();
  EXPECT_TRUE(probeSaw('T', 't' - 'a' + 1).empty()) << probeSaw('T', 't' - 'a' + 1).front();
  EXPECT_EQ(probeChars(), "abc");
}

TEST_F(BreakKeyApp, HeldCtrlPPlaysOnceWithoutReachingTheWindowAndHeldBreakStopsIt) {
  // "a" three seconds after the start (the Ctrl+P is let go by then), six seconds later a
  // move (the line a stop during the pause still plays), then "z".
  startWithMacro([](const TopWindow& target) {
    const std::string there = at(target.x + 60, target.y + 80);
    return "m:" + there + "-1000\r\nw:{a}-4000\r\nm:" + there + "-10000\r\nw:{z}-10100\r\n";
  });
  activate(target_);
  hold(true, "p", 2s);
  ASSERT_TRUE(waitFor([&] { return probeChars() == "a"; }, 10s)) << probeChars();
  EXPECT_FALSE(control("Record").enabled) << "the play ended early";
  EXPECT_TRUE(probeSaw('P', 'p' - 'a' + 1).empty()) << probeSaw('P', 'p' - 'a' + 1).front();

  // Break held during the play's pause: the pause under way is completed, then the play ends
  // before the next line.
  hold(false, "Pause", 2s);
  EXPECT_TRUE(waitFor([&] { return control("Record").enabled; }, 10s)) << "Break did not stop";
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(probeChars(), "a") << "more than one play, or the play went on";
  // (Break itself passes on to the window in front, as the stop keys do during a play.)
  // The stop request does not linger: Ctrl+P plays again.
  hold(true, "p", 200ms);
  EXPECT_TRUE(waitFor([&] { return probeChars() == "aa"; }, 10s)) << probeChars();
  tap("Pause");
  EXPECT_TRUE(waitFor([&] { return control("Record").enabled; }, 10s)) << "Break did not stop";
  EXPECT_EQ(probeChars(), "aa");
  EXPECT_TRUE(probeSaw('P', 'p' - 'a' + 1).empty()) << probeSaw('P', 'p' - 'a' + 1).front();
}

TEST_F(BreakKeyApp, BreakInTheMiddleOfADragStopsThePlayAndReleasesTheButton) {
  int fromX = 0, fromY = 0, toX = 0, toY = 0;
  startWithMacro([&](const TopWindow& target) {
    fromX = target.x + 60, fromY = target.y + 80, toX = target.x + 140, toY = target.y + 120;
    // Pressed, dragged a little, then a pause of twenty seconds before the drag goes on.
    return "m:" + at(fromX, fromY) + "-1000\r\nq:" + at(fromX, fromY) +
           "-1100\r\nt:" + at(fromX + 20, fromY + 10) + "-1200\r\nt:" + at(toX - 10, toY) +
           "-1300\r\nt:" + at(toX, toY) + "-21300\r\nu:" + at(toX, toY) +
           "-21400\r\nw:{z}-21500\r\n";
  });
  click(recorder_.handle, "Play");
  ASSERT_TRUE(waitFor([&] { return probeEvents("ldown").size() == 1; }, 10s))
      << "the drag did not press the button";
  ASSERT_TRUE(waitFor([&] { return driver().pointer() == std::pair(toX - 10, toY); }, 5s));
  EXPECT_TRUE(probeEvents("lup").empty());
  const auto held = inspector().heldKeys();
  EXPECT_NE(std::find(held.begin(), held.end(), kVkLButton), held.end())
      << "the button is not held during the drag";

  // The pause under way is completed and the line after it played (as everywhere: the play
  // ends at the head of the next line); what comes after never plays.
  tap("Pause");
  const auto pressed = std::chrono::steady_clock::now();
  ASSERT_TRUE(waitFor([&] { return control("Record").enabled; }, 40s))
      << "Break did not stop; the pointer at " << driver().pointer().first << ", "
      << driver().pointer().second << ", " << probeEvents("lup").size() << " releases, "
      << probeChars();
  std::printf("[ figures  ] the play ended %lld ms after Break\n",
              static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - pressed)
                                         .count()));
  // The button let go where the drag stood then; the rest never played.
  EXPECT_TRUE(waitFor([&] { return probeEvents("lup").size() == 1; }, 3s))
      << "the button was left down";
  EXPECT_TRUE(waitFor([&] { return inspector().heldKeys().empty(); }, 3s))
      << "still held: " << inspector().heldKeys().size() << " keys, the first "
      << (inspector().heldKeys().empty() ? 0 : inspector().heldKeys().front());
  std::this_thread::sleep_for(1s);
  EXPECT_EQ(driver().pointer(), std::pair(toX, toY));
  EXPECT_EQ(probeEvents("lup").size(), 1u);
  EXPECT_EQ(probeChars(), "") << "the play went on after Break";
  // Keys typed now come plain: no modifier was left down.
  activate(target_);
  type("k");
  EXPECT_TRUE(waitFor([&] { return probeChars() == "k"; }, 3s)) << probeChars();
}

}  // namespace
}  // namespace qb::winetest
