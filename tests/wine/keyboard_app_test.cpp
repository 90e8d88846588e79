// The recorder used from the keyboard alone: Tab and Shift+Tab round its windows, the arrows in
// the macro list and between option buttons, Space on check boxes, Enter and Escape in the
// repeat and speed dialogs, and the menus. Also the "Always On Top" box and the Minimize button.

#include <algorithm>
#include <thread>

#include "recorder_window.h"

namespace qb::winetest {
namespace {

using namespace std::chrono_literals;

constexpr unsigned long kTabStop = 0x00010000;  // WS_TABSTOP

class KeyboardApp : public RecorderWindowTest {
 protected:
  // The controls Tab should reach in `window`: visible, enabled, tab stops.
  std::set<unsigned long long> tabStops(unsigned long long window) {
    std::set<unsigned long long> stops;
    for (const auto& c : inspector().controls(window))
      if (c.visible && c.enabled && (c.style & kTabStop) != 0) stops.insert(c.handle);
    return stops;
  }
  // The focus after each press of `key` (with Shift when asked) until it comes back to where it
  // started, at most `limit` presses.
  std::vector<unsigned long long> round(bool shift, std::size_t limit) {
    const auto start = inspector().focus().first;
    std::vector<unsigned long long> visited;
    for (std::size_t i = 0; i < limit; ++i) {
      if (shift)
        chord({"Shift_L"}, "Tab");
      else
        tap("Tab");
      std::this_thread::sleep_for(100ms);
      visited.push_back(inspector().focus().first);
      if (visited.back() == start) break;
    }
    return visited;
  }
  std::string names(const std::vector<unsigned long long>& handles, unsigned long long window) {
    std::string out;
    const auto all = inspector().controls(window);
    for (auto h : handles) {
      const auto c = std::find_if(all.begin(), all.end(),
                                  [&](const NativeControl& n) { return n.handle == h; });
      out += (c == all.end() ? std::string("?") : c->kind + ":" + c->text) + " | ";
    }
    return out;
  }
  // Tab goes once through every tab stop of the window and back to the start; Shift+Tab goes
  // the same way backwards.
  void checkTabRound(unsigned long long window, const std::string& where) {
    SCOPED_TRACE(where);
    const auto stops = tabStops(window);
    ASSERT_GE(stops.size(), 2u);
    const auto forward = round(false, stops.size() + 3);
    ASSERT_EQ(forward.size(), stops.size()) << names(forward, window);
    EXPECT_EQ(std::set(forward.begin(), forward.end()), stops) << names(forward, window);
    const auto backward = round(true, stops.size() + 3);
    // Backwards: the same stops in the opposite order, ending where it started.
    std::vector<unsigned long long> reversed(forward.rbegin() + 1, forward.rend());
    reversed.push_back(forward.back());
    EXPECT_EQ(backward, reversed) << "forward " << names(forward, window) << "\nbackward "
                                  << names(backward, window);
  }
  // Opens Form4 with `button` and returns it.
  TopWindow openForm4(const std::string& button) {
    activate(recorder_);
    const auto before = windowHandles();
    click(recorder_.handle, button);
    const auto dialog = newWindow(before);
    EXPECT_TRUE(dialog) << button << " opened no window";
    return dialog.value_or(TopWindow{});
  }
  void selectFirstMacro() {
    const auto list = macroList();
    clickEntry(list, 0);
    ASSERT_TRUE(waitFor([&] {
      const auto items = inspector().items(list.handle);
      return !items.empty() && items[0].selected;
    }));
  }
  bool topmost() {
    for (const auto& w : inspector().windows())
      if (w.handle == recorder_.handle) return w.topmost;
    return false;
  }
};

TEST_F(KeyboardApp, TabAndShiftTabGoRoundTheMainWindowAndTheRepeatDialog) {
  writeMacro("Macro-demo.txt", "w:{a}-100\r\n");
  startRecorder();
  click(recorder_.handle, "&Options");
  ASSERT_TRUE(waitFor([&] { return oneLineFields(recorder_.handle).size() == 2; }));
  click(oneLineFields(recorder_.handle)[0]);
  checkTabRound(recorder_.handle, "the main window");

  selectFirstMacro();
  const auto dialog = openForm4("Repeat it?");
  ASSERT_NE(dialog.handle, 0u);
  checkTabRound(dialog.handle, "the repeat dialog");
  tap("Escape");
  EXPECT_TRUE(gone(dialog.handle));
}

TEST_F(KeyboardApp, ArrowsMoveThroughTheListAndOptionButtonsAndSpaceTicksCheckBoxes) {
  writeMacro("Macro-a.txt", "w:{a}-100\r\n");
  writeMacro("Macro-b.txt", "w:{b}-100\r\n");
  writeMacro("Macro-c.txt", "w:{c}-100\r\n");
  startRecorder();
  click(recorder_.handle, "&Options");
  ASSERT_TRUE(waitFor([&] { return oneLineFields(recorder_.handle).size() == 2; }));
  const auto list = macroList();
  const auto field = multiLineField(recorder_.handle);
  ASSERT_TRUE(waitFor([&] { return inspector().items(list.handle).size() == 3; }));
  // The entry the arrows highlight is the one loaded.
  clickEntry(list, 0);
  const struct {
    const char* key;
    std::size_t selected;
  } moves[] = {{"Down", 1}, {"Down", 2}, {"Down", 2}, {"Up", 1}, {"Home", 0}, {"End", 2}};
  for (const auto& move : moves) {
    tap(move.key);
    const std::string entry = inspector().items(list.handle)[move.selected].text;
    const std::string letter(1, entry[6]);  // "Macro-b.txt"
    EXPECT_TRUE(waitFor([&] {
      const auto items = inspector().items(list.handle);
      return items[move.selected].selected && text(field) == "w:{" + letter + "}-100\r\n";
    })) << move.key
        << ": " << text(field);
  }

  // Space on the check boxes, reached with Tab.
  for (const std::string box : {"Enable Draging", "Always On Top"}) {
    const auto check = control(box);
    for (int i = 0; i < 30 && inspector().focus().first != check.handle; ++i) tap("Tab");
    ASSERT_EQ(inspector().focus().first, check.handle) << "Tab never reached " << box;
    tap("space");
    EXPECT_TRUE(waitFor([&] { return control(box).check == 1; })) << box;
    if (box == "Always On Top") {
      EXPECT_TRUE(waitFor([&] { return topmost(); }));
    }
    tap("space");
    EXPECT_TRUE(waitFor([&] { return control(box).check == 0; })) << box;
    if (box == "Always On Top") {
      EXPECT_TRUE(waitFor([&] { return !topmost(); }));
    }
  }

  // The speed dialog's option buttons follow the arrows.
  const auto dialog = openForm4("Speed?");
  ASSERT_NE(dialog.handle, 0u);
  screenshot(dialog, "speed-dialog");
  const auto increase = control(dialog.handle, "Increase Speed");
  EXPECT_EQ(increase.check, 1);
  click(increase);
  tap("Down");
  EXPECT_TRUE(waitFor([&] {
    return control(dialog.handle, "Decrease Speed").check == 1 &&
           control(dialog.handle, "Increase Speed").check == 0;
  }));
  tap("Up");
  EXPECT_TRUE(waitFor([&] {
    return control(dialog.handle, "Increase Speed").check == 1 &&
           control(dialog.handle, "Decrease Speed").check == 0;
  }));
  const auto before = windowHandles();
  tap("Escape");
  EXPECT_TRUE(gone(dialog.handle));
  const std::string after = answerBox(before, "box-speed-set-repeat-again", "Return");
  EXPECT_NE(after.find("it should be set again"), std::string::npos) << after;
}

TEST_F(KeyboardApp, EnterAndEscapeAnswerTheRepeatAndSpeedDialogs) {
  const std::string macro = "w:{a}-1000\r\nw:{b}-2000\r\n";
  writeMacro("Macro-demo.txt", macro);
  startRecorder();
  selectFirstMacro();
  const std::string file = inApp("Macro-demo.txt");
  const struct {
    const char* button;
    const char* typed;
    std::vector<std::string> keys;
    const char* expected;  // the file's start afterwards; empty: unchanged
  } cases[] = {
      {"Repeat it?", "3", {"Return"}, "loop:3\r\nw:{a}-1000\r\n"},
      {"Repeat it?", "5", {"Escape"}, ""},
      // A new count goes in front of the old one (the player reads the first).
      {"Repeat it?", "4", {"KP_Enter"}, "loop:4\r\nloop:3\r\nw:{a}-1000\r\n"},
      // Enter presses the button Tab moved the focus to.
      {"Repeat it?", "6", {"Tab:Cancel", "Return"}, ""},
      {"Repeat it?", "7", {"Tab:OK", "space"}, "loop:7\r\nloop:4\r\n"},
      {"Speed?", "50", {"Escape"}, ""},
      // The speed drops the repeat lines, and the box after it says so.
      {"Speed?", "50", {"Return"}, "w:{a}-500\r\nw:{b}-1000\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.button) + " " + c.typed + " " + c.keys.back());
    const std::string was = readFile(file);
    const auto dialog = openForm4(c.button);
    ASSERT_NE(dialog.handle, 0u);
    const auto number = oneLineFields(dialog.handle);
    ASSERT_EQ(number.size(), 1u);
    emptyField(number[0]);
    type(c.typed);
    const auto before = windowHandles();
    for (const auto& key : c.keys) {
      if (key.rfind("Tab:", 0) != 0) {
        tap(key);
        continue;
      }
      const auto button = control(dialog.handle, key.substr(4));
      for (int i = 0; i < 8 && inspector().focus().first != button.handle; ++i) tap("Tab");
      ASSERT_EQ(inspector().focus().first, button.handle) << "Tab never reached " << key;
    }
    ASSERT_TRUE(gone(dialog.handle));
    if (std::string(c.button) == "Speed?") answerBox(before, "box-speed-done", "Return");
    if (*c.expected) {
      EXPECT_TRUE(waitFor([&] { return readFile(file).rfind(c.expected, 0) == 0; }))
          << readFile(file);
    } else {
      EXPECT_EQ(readFile(file), was);
    }
    // A changed file leaves the field empty: the entry is chosen again.
    selectFirstMacro();
  }
}

TEST_F(KeyboardApp, TheMenusOpenAndChooseFromTheKeyboard) {
  startRecorder();
  activate(recorder_);
  const int height = recorder_.height;
  // Alt to the menu bar, Right to Options, Down opens it, Enter chooses Show Options.
  tap("Alt_L");
  tap("Right");
  const auto withoutMenu = windowHandles();
  tap("Down");
  const auto menu = newWindow(withoutMenu);
  ASSERT_TRUE(menu) << "Down opened no menu";
  screenshot(*menu, "menu-options");
  tap("Return");
  ASSERT_TRUE(waitFor([&] { return inspector().window(kRecorderTitle)->height > height; }))
      << "Show Options did not open the Options panel";
  recorder_ = *inspector().window(kRecorderTitle);
  screenshot(recorder_, "main-window-options-from-menu");
  // File's first entry and Help's (two to the right) are About.
  for (const std::string way : {"file", "help"}) {
    const auto before = windowHandles();
    tap("Alt_L");
    if (way == "help") {
      tap("Right");
      tap("Right");
    }
    tap("Down");
    tap("Return");
    const std::string about = answerBox(before, "box-about-from-" + way + "-menu", "Escape");
    EXPECT_NE(about.find("Written by the Quillbarrow developers"), std::string::npos)
        << way << ": " << about;
  }
}

TEST_F(KeyboardApp, AlwaysOnTopAndMinimizeToTheNotificationArea) {
  startRecorder();
  EXPECT_FALSE(topmost());
  click(recorder_.handle, "Always On Top");
  EXPECT_TRUE(waitFor([&] { return topmost(); })) << "the recorder is not topmost";
  click(recorder_.handle, "Always On Top");
  EXPECT_TRUE(waitFor([&] { return !topmost(); })) << "the recorder stayed topmost";

  const auto before = windowHandles();
  click(recorder_.handle, "Minimize");
  EXPECT_TRUE(gone(recorder_.handle)) << "Minimize did not hide the window";
  // Wine's notification area: a window of its own holding the icon.
  const auto tray = newWindow(before, std::chrono::seconds(5));
  ASSERT_TRUE(tray) << "no notification area window came";
  screenshot(*tray, "notification-area");
  // A click on the icon (a window of its own in the area) brings the window back.
  const auto icons = inspector().controls(tray->handle);
  ASSERT_EQ(icons.size(), 1u) << "the notification area holds no one icon";
  click(icons.front());
  EXPECT_TRUE(waitFor([&] { return inspector().window(kRecorderTitle, 0ms).has_value(); }))
      << "a click on the icon did not bring the window back";
}

}  // namespace
}  // namespace qb::winetest
