// The function-key hot keys on Windows, set up as a person does: rows typed and ticked in the
// "Show HotKeys" window, stored with OK, and pressed after a restart while another program's
// window is in front.

#include <array>
#include <filesystem>
#include <fstream>
#include <thread>

#include "flow_fixture.h"

namespace qb::winetest {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kRowsTitle = "Hot Keys - Standard";
constexpr int kVkF1 = 0x70;

class HotKeysApp : public FlowTest {
 protected:
  // The rows' text fields (F1 to F12) and their option boxes, by row and column.
  void readRows(const TopWindow& window) {
    fields_ = visible(window.handle, "Edit");
    ASSERT_EQ(fields_.size(), 12u);
    for (const auto& box : visible(window.handle, "Button")) {
      if (!box.text.empty()) continue;  // OK, Samples, Clear, Help
      for (std::size_t row = 0; row < fields_.size(); ++row)
        if (box.centerY() >= fields_[row].y && box.centerY() < fields_[row].y + fields_[row].height)
          options_[row].push_back(box);
    }
    for (const auto& row : options_) ASSERT_EQ(row.size(), 4u);
  }
  NativeControl field(int row) { return fields_[static_cast<std::size_t>(row - 1)]; }
  NativeControl option(int column, int row) {
    return options_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)];
  }
  int checked(int column, int row) {
    for (const auto& c : inspector().controls(window_))
      if (c.handle == option(column, row).handle) return c.check;
    return -1;
  }
  // The key-down messages of a virtual key that reached the probe.
  std::size_t presses(const Probe& probe, int vk) {
    std::size_t count = 0;
    for (const auto& line : events(probe, "keydown"))
      if (line.find(" keydown " + std::to_string(vk) + " ") != std::string::npos) ++count;
    return count;
  }
  // What the probe's edit field holds.
  std::string shown(const Probe& probe) {
    const auto edit = visible(probeWindow(probe).handle, "Edit");
    return edit.empty() ? std::string() : inspector().text(edit.front().handle);
  }

  unsigned long long window_ = 0;
  std::vector<NativeControl> fields_;
  std::array<std::vector<NativeControl>, 12> options_;
};

TEST_F(HotKeysApp, RowsTypedInTheWindowRunAProgramPlayAMacroSendKeysAndPasteAfterARestart) {
  {
    std::ofstream macro(inApp("Macro-hot.txt"), std::ios::binary);
    macro << "w:hot-100\r\nw:{enter}-200\r\n";
  }
  const std::string startedLog = sessionFolder() + "/started.log";
  const std::string probeProgram =
      windowsPath(windowsBuildFolder() + "/tests/win32/qb_win32_probe.exe");

  // The rows, typed and ticked in the hot keys window.
  TopWindow main = startRecorder();
  click(main.handle, "Show HotKeys");
  const auto rows = windowTitled(kRowsTitle);
  ASSERT_TRUE(rows) << "Show HotKeys showed no window";
  window_ = rows->handle;
  readRows(*rows);
  shot(*rows, "hot-keys-window");
  struct Row {
    int n;
    std::string text;
    std::vector<int> columns;
  };
  const Row table[] = {
      // 1C runs a program; 4C wants the left Ctrl key with the F key.
      {2, probeProgram + " HotStarted " + windowsPath(startedLog) + " 640 560", {1, 4}},
      // 2C plays the macro file whose path follows the macro folder.
      {3, "\\Macro-hot.txt", {2}},
      // 3C sends keys, here twice: "loop=1:" repeats once.
      {4, "loop=1:x{ENTER}", {3}},
      // No option: the text is pasted.
      {6, "pasted words", {}},
  };
  for (const auto& row : table) {
    fill(field(row.n), row.text);
    for (int column : row.columns) click(option(column, row.n));
  }
  for (const auto& row : table) {
    EXPECT_EQ(inspector().text(field(row.n).handle), row.text) << "F" << row.n;
    for (int column = 1; column <= 4; ++column) {
      const bool ticked =
          std::find(row.columns.begin(), row.columns.end(), column) != row.columns.end();
      EXPECT_TRUE(waitFor([&] { return checked(column, row.n) == (ticked ? 1 : 0); }))
          << "F" << row.n << " option " << column;
    }
  }
  shot(*rows, "hot-keys-rows-set");

  // A double click on a row's text asks before it empties the row.
  fill(field(7), "to be cleared");
  const auto doubleClick = [&] {
    clickAt(field(7).centerX(), field(7).centerY());
    clickAt(field(7).centerX(), field(7).centerY());
  };
  for (const std::string reply : {"No", "Yes"}) {
    doubleClick();
    const auto box = messageBox("Contents of Hot Key", "hot-keys-clear-row-" + reply);
    ASSERT_TRUE(box) << "a double click on F7 asked nothing";
    EXPECT_EQ(box->text,
              "to be cleared\r\n\r\nWould you like to clear the contents of this hot key?");
    answer(*box, reply);
    EXPECT_TRUE(waitFor([&] {
      return inspector().text(field(7).handle) == (reply == "No" ? "to be cleared" : "");
    })) << reply;
  }

  // OK stores the rows and hides the window; Exit ends the program.
  click(rows->handle, "&OK");
  ASSERT_TRUE(waitFor([&] { return !windowTitled(kRowsTitle, {}, 0ms); }))
      << "OK left the hot keys window up";
  click(main.handle, "E&xit");
  ASSERT_TRUE(waitFor([&] { return programs_.back()->ended().has_value(); }))
      << "Exit did not end the recorder";

  // Started again, the stored rows take their keys while another window is in front.
  main = startRecorder();
  const Probe probe = startProbeAt("Hot Key Target", 620, 200);
  // Something of the user's own on the clipboard, which the paste row must give back.
  type("kept");
  chord({"Shift_L"}, "Home");
  chord({"Control_L"}, "c");
  tap("End");
  ASSERT_EQ(shown(probe), "kept");

  // F2 wants the left Ctrl key: alone it reaches the window; with it, the program starts.
  tap("F2");
  ASSERT_TRUE(waitFor([&] { return presses(probe, kVkF1 + 1) == 1; }))
      << "F2 alone did not reach the window";
  chord({"Control_L"}, "F2");
  const auto started = windowTitled("HotStarted", {}, 30s);
  EXPECT_TRUE(started) << "Ctrl+F2 did not start " << probeProgram;
  EXPECT_TRUE(fs::exists(startedLog));
  EXPECT_EQ(presses(probe, kVkF1 + 1), 1u);
  activate(probeWindow(probe));
  ASSERT_TRUE(waitFor([&] { return inFront(probe); }));

  // F3 plays the macro file, F4 sends its keys twice.
  const std::string before = typed(probe);
  tap("F3");
  ASSERT_TRUE(waitFor([&] { return typed(probe) == before + "hot\r"; }, 20s)) << typed(probe);
  tap("F4");
  ASSERT_TRUE(waitFor([&] { return typed(probe) == before + "hot\rx\rx\r"; }, 20s)) << typed(probe);

  // F6 pastes its text; afterwards the clipboard holds the user's text again.
  const std::string held = shown(probe);
  tap("F6");
  ASSERT_TRUE(waitFor([&] { return shown(probe) == held + "pasted words"; }, 20s)) << shown(probe);
  std::this_thread::sleep_for(1s);  // the paste row puts the old text back after a moment
  chord({"Control_L"}, "v");
  EXPECT_TRUE(waitFor([&] { return shown(probe) == held + "pasted wordskept"; })) << shown(probe);

  // The keys the rows took never reached the window; a row without text lets its key pass.
  EXPECT_EQ(presses(probe, kVkF1 + 2) + presses(probe, kVkF1 + 3) + presses(probe, kVkF1 + 5), 0u);
  tap("F9");
  EXPECT_TRUE(waitFor([&] { return presses(probe, kVkF1 + 8) == 1; }))
      << "F9, a row without text, did not reach the window";
}

TEST_F(HotKeysApp, SamplesFillTheLastRowsAndClearEmptiesEveryRowAfterAsking) {
  const TopWindow main = startRecorder();
  click(main.handle, "Show HotKeys");
  const auto rows = windowTitled(kRowsTitle);
  ASSERT_TRUE(rows) << "Show HotKeys showed no window";
  window_ = rows->handle;
  readRows(*rows);

  // Samples says what they do, then fills rows 9 to 12 on the screen.
  click(rows->handle, "&Samples");
  const auto said = messageBox(kProductTitle, "hot-keys-samples-box");
  ASSERT_TRUE(said) << "Samples said nothing";
  EXPECT_EQ(said->text.rfind("The sample keys are now setup.", 0), 0u) << said->text;
  answer(*said, "OK");
  const std::pair<int, std::string> samples[] = {
      {9, "calc.exe"},
      {10, "Some sample text you can send to any windows applicaiton"},
      {11, "loop=10:{ENTER}{ENTER}{TAB}Sample of Sending Text and {ENTER} Sending Keystrokes"},
      {12, "Sample of Sending an AOL IM ^{ENTER}"},
  };
  for (const auto& [n, text] : samples)
    EXPECT_TRUE(waitFor([&] { return inspector().text(field(n).handle) == text; }))
        << "F" << n << ": " << inspector().text(field(n).handle);
  EXPECT_EQ(checked(1, 9), 1);
  EXPECT_EQ(checked(3, 10), 0);
  EXPECT_EQ(checked(3, 11), 1);
  EXPECT_EQ(checked(3, 12), 1);
  shot(*rows, "hot-keys-samples");

  // Clear asks; No keeps the rows, Yes empties every row and option.
  for (const std::string reply : {"No", "Yes"}) {
    click(rows->handle, "&Clear");
    const auto question = messageBox("", "hot-keys-clear-all-" + reply);  // it has no title
    ASSERT_TRUE(question) << "Clear asked nothing";
    EXPECT_EQ(question->text, "Are You sure you want to Clear all the text boxes?");
    answer(*question, reply);
    if (reply == "No") {
      EXPECT_EQ(inspector().text(field(9).handle), "calc.exe");
    }
  }
  for (int n = 1; n <= 12; ++n) {
    EXPECT_TRUE(waitFor([&] { return inspector().text(field(n).handle).empty(); })) << "F" << n;
    for (int column = 1; column <= 4; ++column) EXPECT_EQ(checked(column, n), 0) << "F" << n;
  }
}

}  // namespace
}  // namespace qb::winetest
