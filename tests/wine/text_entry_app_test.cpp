// Typing into the programs' fields from outside, as a person does: every one-line field of the
// recorder's windows and of the shortcut maker takes keys where the caret is (Home, End, the
// arrows, Backspace, Delete and Ctrl+V move and change it), and the multi-line macro field takes
// lines, Enter, Backspace and a paste over a selection.

#include <thread>

#include "recorder_window.h"

namespace qb::winetest {
namespace {

using namespace std::chrono_literals;

// What the clipboard holds for the pastes.
constexpr const char* kClip = "pq";

class TextEntryApp : public RecorderWindowTest {
 protected:
  // Edits the field with the keyboard; each step's text must be what a caret in the right
  // place gives (the fault this finds: characters landing in front of the ones typed before,
  // so a word comes out reversed).
  void editAtTheCaret(const NativeControl& field, const std::string& where) {
    SCOPED_TRACE(where);
    emptyField(field);
    ASSERT_TRUE(waitFor([&] { return text(field).empty(); }, 3s)) << "not emptied: " << text(field);
    struct Step {
      std::vector<std::string> keys;  // "+Home": with Shift; "^v": with Ctrl; else typed text
      std::string expected;
    };
    const std::vector<Step> steps{
        {{"abc"}, "abc"},        {{"Home", "X"}, "Xabc"},        {{"End", "Left", "Y"}, "XabYc"},
        {{"BackSpace"}, "Xabc"}, {{"Home", "Delete"}, "abc"},    {{"Right", "^v"}, "apqbc"},
        {{"z"}, "apqzbc"},       {{"End", "+Home", "k7"}, "k7"},
    };
    for (const auto& step : steps) {
      for (const auto& key : step.keys) {
        if (key == "Home" || key == "End" || key == "Left" || key == "Right" ||
            key == "BackSpace" || key == "Delete")
          tap(key);
        else if (key[0] == '+')
          chord({"Shift_L"}, key.substr(1));
        else if (key[0] == '^')
          chord({"Control_L"}, key.substr(1));
        else
          type(key);
      }
      ASSERT_TRUE(waitFor([&] { return text(field) == step.expected; }, 3s))
          << "after " << step.keys.back() << ": \"" << text(field) << "\", expected \""
          << step.expected << "\"";
    }
  }
  // The control of `window` showing `text` that lies furthest left (a panel's button, not the
  // frame of the same caption).
  NativeControl leftmost(unsigned long long window, const std::string& caption) {
    NativeControl found;
    found.x = 1 << 30;
    for (const auto& c : inspector().controls(window))
      if (c.visible && c.text == caption && c.x < found.x) found = c;
    EXPECT_NE(found.handle, 0u) << "no control \"" << caption << "\"";
    return found;
  }
};

TEST_F(TextEntryApp, EveryOneLineFieldOfTheRecordersWindowsTakesKeysAtTheCaret) {
  writeMacro("Macro-demo.txt", "w:{a}-100\r\n");
  startRecorder();
  copyThroughProbe(kClip);
  activate(recorder_);

  // The main window: the name field, and the macro location in the Options panel.
  click(recorder_.handle, "&Options");
  ASSERT_TRUE(waitFor([&] { return oneLineFields(recorder_.handle).size() == 2; }))
      << oneLineFields(recorder_.handle).size() << " one-line fields";
  recorder_ = *inspector().window(kRecorderTitle);
  screenshot(recorder_, "main-window-options");
  const auto mainFields = oneLineFields(recorder_.handle);
  editAtTheCaret(mainFields[0], "the macro name");
  const std::string location = text(mainFields[1]);
  editAtTheCaret(mainFields[1], "the macro location");
  // The location back, so the list shows the app folder's macros again.
  emptyField(mainFields[1]);
  type(location);  // the folder's path is plain ASCII: "Z:\...\app"
  const auto list = macroList();
  ASSERT_TRUE(waitFor([&] { return inspector().items(list.handle).size() == 1; }))
      << text(mainFields[1]);

  // The hot keys window's rows.
  click(recorder_.handle, "Show HotKeys");
  const auto hotKeys = inspector().window("Hot Keys - Standard");
  ASSERT_TRUE(hotKeys);
  screenshot(*hotKeys, "hot-keys");
  const auto rows = oneLineFields(hotKeys->handle);
  ASSERT_EQ(rows.size(), 12u);
  editAtTheCaret(rows.front(), "hot key F1");
  editAtTheCaret(rows.back(), "hot key F12");
  click(hotKeys->handle, "&OK");
  ASSERT_TRUE(gone(hotKeys->handle));

  // The repeat dialog's number.
  activate(recorder_);
  clickEntry(list, 0);
  ASSERT_TRUE(waitFor([&] { return text(multiLineField(recorder_.handle)) == "w:{a}-100\r\n"; }))
      << text(multiLineField(recorder_.handle));
  auto before = windowHandles();
  click(recorder_.handle, "Repeat it?");
  const auto repeat = newWindow(before);
  ASSERT_TRUE(repeat);
  screenshot(*repeat, "repeat-dialog");
  const auto repeatFields = oneLineFields(repeat->handle);
  ASSERT_EQ(repeatFields.size(), 1u);
  EXPECT_EQ(text(repeatFields[0]), "0");
  editAtTheCaret(repeatFields[0], "the repeat number");
  click(repeat->handle, "Cancel");
  ASSERT_TRUE(gone(repeat->handle));
  EXPECT_EQ(readFile(inApp("Macro-demo.txt")), "w:{a}-100\r\n");

  // Every panel of the builder with its fields.
  activate(recorder_);
  click(recorder_.handle, "Advanced Macro Builder");
  auto builder = inspector().window("Advanced Macro Builder");
  ASSERT_TRUE(builder);
  screenshot(*builder, "builder");
  const struct {
    const char* button;
    std::size_t fields;
    const char* picture;
  } panels[] = {{"Set Mouse Movement and Clicks", 2, "mouse"},
                {"Send Keyboard Text", 1, "send-text"},
                {"Set Delay", 1, "delay"},
                {"Run Application", 1, "run"},
                {"Repeat It?", 1, "loop"},
                {"Get Data from a File", 1, "file"},
                {"Activate Window", 1, "activate"},
                {"Limit To Window", 2, "limit"},
                {"Save Macro", 1, "save"}};
  for (const auto& panel : panels) {
    click(leftmost(builder->handle, panel.button));
    std::vector<NativeControl> fields;
    ASSERT_TRUE(waitFor([&] {
      fields = oneLineFields(builder->handle);
      return fields.size() == panel.fields;
    })) << panel.button
        << ": " << fields.size() << " one-line fields";
    builder = inspector().window("Advanced Macro Builder");
    screenshot(*builder, std::string("builder-") + panel.picture);
    for (std::size_t i = 0; i < fields.size(); ++i)
      editAtTheCaret(fields[i], std::string(panel.button) + " field " + std::to_string(i + 1));
  }
}

TEST_F(TextEntryApp, TheShortcutMakersFieldsTakeKeysAtTheCaret) {
  start("Kestrip.exe", {"KWhatever5150"}, kRecorderTitle);
  const auto maker = inspector().window(kRecorderTitle);
  ASSERT_TRUE(maker);
  screenshot(*maker, "shortcut-maker");
  copyThroughProbe(kClip);
  activate(*maker);
  // The macro folder, the key's drop-down field and the location's.
  const auto fields = oneLineFields(maker->handle);
  ASSERT_EQ(fields.size(), 3u);
  editAtTheCaret(fields[0], "the macro folder");
  editAtTheCaret(fields[1], "the short cut key");
  editAtTheCaret(fields[2], "the shortcut's location");
}

TEST_F(TextEntryApp, TheMacroFieldTakesLinesEnterBackspaceAndAPasteOverASelection) {
  startRecorder();
  copyThroughProbe(kClip);
  activate(recorder_);
  // The field lies in the Options panel, below the window's first height.
  click(recorder_.handle, "&Options");
  ASSERT_TRUE(waitFor([&] { return oneLineFields(recorder_.handle).size() == 2; }));
  recorder_ = *inspector().window(kRecorderTitle);
  const auto field = multiLineField(recorder_.handle);
  ASSERT_NE(field.handle, 0u);
  click(field);
  const auto expect = [&](const std::string& expected, const std::string& after) {
    ASSERT_TRUE(waitFor([&] { return text(field) == expected; }, 3s))
        << "after " << after << ": \"" << text(field) << "\"";
  };
  type("ab\ncd\nef");
  expect("ab\r\ncd\r\nef", "three lines");
  tap("BackSpace");
  expect("ab\r\ncd\r\ne", "Backspace");
  tap("Home");
  type("X");
  expect("ab\r\ncd\r\nXe", "Home on the last line");
  // Backspace at a line's start joins it to the line above; Enter splits it again.
  tap("Left");
  tap("BackSpace");
  expect("ab\r\ncdXe", "Backspace at a line's start");
  tap("Return");
  expect("ab\r\ncd\r\nXe", "Enter inside a line");
  tap("Up");
  tap("End");
  tap("Return");
  type("mid");
  expect("ab\r\ncd\r\nmid\r\nXe", "Enter at the end of a line");
  // The second line selected and pasted over.
  tap("Up");
  tap("Home");
  chord({"Shift_L"}, "End");
  chord({"Control_L"}, "v");
  expect("ab\r\npq\r\nmid\r\nXe", "Ctrl+V over a selection");
  chord({"Control_L"}, "Home");
  type("0");
  expect("0ab\r\npq\r\nmid\r\nXe", "Ctrl+Home");
  chord({"Control_L"}, "End");
  tap("Return");
  expect("0ab\r\npq\r\nmid\r\nXe\r\n", "Enter at the end");
  // The typed text makes a macro Play can play.
  EXPECT_TRUE(control("Play").enabled);
  screenshot(recorder_, "macro-field-typed");
}

}  // namespace
}  // namespace qb::winetest
