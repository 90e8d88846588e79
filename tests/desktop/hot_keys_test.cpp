// The function-key hot keys on a real X server: rows stored in the settings and a row edited in
// the hot keys window, each pressed while another program's window has the keyboard.

#include <QClipboard>
#include <QGuiApplication>
#include <filesystem>

#include "tests/desktop/recorder_fixture.h"

namespace qb::desktoptest {
namespace {

using x11test::pump;
using x11test::waitFor;

class HotKeys : public RecorderTest {
 protected:
  void row(int n, const std::string& text, std::initializer_list<int> options) {
    const std::string key = std::to_string(n);
    setting("Hotkeys", "text1-" + key, text);
    for (int column : options)
      setting("Hotkeys", "Check" + std::to_string(column) + "-" + key, "1");
  }
  // Presses the keys and waits until the window has received `expected` from then on.
  bool receives(ProbeWindow& probe, const std::vector<std::string>& modifiers,
                const std::string& key, const std::vector<std::string>& expected) {
    const std::size_t from = probe.events().size();
    chord(modifiers, key);
    const bool arrived = waitFor([&] { return received(probe.events(), from) == expected; });
    pump(50);  // nothing more comes
    EXPECT_EQ(received(probe.events(), from), expected);
    return arrived;
  }
};

TEST_F(HotKeys, RowsRunAProgramPlayAMacroSendKeysAndPaste) {
  const std::string calledFile = standIn("hot-tool");
  row(2, folder() + "/bin/hot-tool first \"second word\"", {1, 4});  // needs the left Ctrl key
  row(3, "/Macro-hot.txt", {2});
  row(4, "loop=1:x{ENTER}", {3});
  row(6, "  pasted words ", {});
  writeFile(macroFolder() + "/Macro-hot.txt", "w:hot-100\r\nw:{enter}-200\r\n");
  start();
  ProbeWindow probe(folder(), "Hot key target");
  ASSERT_TRUE(probe.waitFocused());

  // The run row wants the left Ctrl key: alone or with the right Ctrl key, F2 passes on.
  EXPECT_TRUE(receives(probe, {}, "F2", {"key F2 -"}));
  EXPECT_TRUE(receives(probe, {"Control_R"}, "F2", {"key F2 -"}));
  EXPECT_TRUE(receives(probe, {"Control_L"}, "F2", {}));
  ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(calledFile); }));
  EXPECT_EQ(readFile(calledFile), folder() + "/bin/hot-tool|first|second word|\n");

  // A play-macro row: the file after the macro folder is read into the macro text and played.
  EXPECT_TRUE(receives(probe, {}, "F3", {"key h 68", "key o 6f", "key t 74", "key Return 0d"}));
  EXPECT_EQ(form1().Text1.text(), "w:hot-100\r\nw:{enter}-200\r\n");
  ASSERT_TRUE(waitFor([&] { return form1().playingMark().empty(); }));

  // Send keys, repeated once by its "loop=1:" prefix.
  EXPECT_TRUE(
      receives(probe, {}, "F4", {"key x 78", "key Return 0d", "key x 78", "key Return 0d"}));

  // Paste: the row's text is put on the clipboard, Ctrl+V is typed, and the clipboard gets back
  // what it held only after the window has had time to fetch it.
  ASSERT_TRUE(desktop().clipboard.setText("kept text"));
  std::vector<std::string> clipboardTexts;
  const QMetaObject::Connection watch = QObject::connect(
      QGuiApplication::clipboard(), &QClipboard::dataChanged,
      [&] { clipboardTexts.push_back(QGuiApplication::clipboard()->text().toStdString()); });
  const std::size_t pastesBefore = probe.pastes().size();
  EXPECT_TRUE(receives(probe, {}, "F6", {"key v 16"}));
  ASSERT_TRUE(waitFor([&] { return probe.pastes().size() == pastesBefore + 1; }));
  EXPECT_TRUE(waitFor([&] { return desktop().clipboard.text() == "kept text"; }));
  // Cleared, the row's text, and what it held put back whole in one step.
  EXPECT_EQ(clipboardTexts, (std::vector<std::string>{"", "pasted words", "kept text"}));
  EXPECT_EQ(probe.pastes().back(), "pasted words");
  QObject::disconnect(watch);

  // The function keys the rows took never reached the window; the rows without text pass.
  EXPECT_EQ(probe.presses("F3") + probe.presses("F4") + probe.presses("F6"), 0u);
  EXPECT_TRUE(receives(probe, {}, "F9", {"key F9 -"}));
}

TEST_F(HotKeys, ARowEditedInTheHotKeysWindowFiresAtOnce) {
  start();
  click(form1().Command15);  // "Show HotKeys"
  Form2& rows = program().form2;
  ASSERT_TRUE(onScreen(widget(rows.text(8))));
  screenshot(widget(rows.text(8))->window(), "hot-keys-window");
  fill(widget(rows.text(8)), "typed{ENTER}");
  click(rows.option(3, 8));
  ASSERT_TRUE(waitFor([&] { return rows.option(3, 8).value() == 1; }));
  EXPECT_EQ(rows.text(8).text(), "typed{ENTER}");

  ProbeWindow probe(folder(), "Edited row target");
  ASSERT_TRUE(probe.waitFocused());
  chord({}, "F8");
  EXPECT_TRUE(waitFor([&] { return probe.typed() == "typed\r"; })) << probe.typed();
  EXPECT_EQ(probe.presses("F8"), 0u);
  // Nothing was stored: only OK stores the rows.
  EXPECT_EQ(desktop().settings.read("Hotkeys", "text1-8"), std::nullopt);
}

}  // namespace
}  // namespace qb::desktoptest
