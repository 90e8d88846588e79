// A recorded macro of a million lines in the main window: its text shows, scrolls to its last
// line, selects, copies, takes typing and pasting, and the macro plays and stops.

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>

#include "tests/desktop/recorder_fixture.h"
#include "tests/support/recording_text.h"
#include "ui/qt/text_area.h"

namespace qb::desktoptest {
namespace {

using x11test::pump;
using x11test::waitFor;

constexpr std::size_t kLines = 1'000'000;

class BigMacro : public RecorderTest {
 protected:
  // Moves, keys, clicks and drags as the recorder writes them, all inside `area` (root
  // coordinates, 100 by 100 pixels from its corner).
  static std::string macro(QPoint area) {
    return testsupport::recordingText(kLines, area.x(), area.y());
  }

  static std::string firstLine(const std::string& text) { return text.substr(0, text.find('\r')); }
  static std::string lastLine(const std::string& text) {
    const std::size_t end = text.size() - 2, start = text.rfind('\n', end - 1) + 1;
    return text.substr(start, end - start);
  }

  // Starts the program with the macro in the folder, shows the macro text with "&Options", and
  // selects the macro in the list.
  ui::TextArea* selectBigMacro(const std::string& text) {
    writeFile(macroFolder() + "/Macro-big.txt", text);
    start();
    click(form1().Command21);
    auto* area = dynamic_cast<ui::TextArea*>(widget(form1().Text1));
    if (!area || !onScreen(area)) return nullptr;
    clickItem(form1().List1, 0);
    if (!waitFor([&] { return form1().Text1.text().size() == text.size(); }, 30'000))
      return nullptr;
    return area;
  }

  static QString clipboard() { return QApplication::clipboard()->text(); }
  static bool inSight(ui::TextArea* area, std::size_t line) {
    const std::size_t rows = static_cast<std::size_t>(area->viewport()->height()) /
                             static_cast<std::size_t>(area->fontMetrics().lineSpacing());
    return line >= area->topLine() && line < area->topLine() + rows;
  }
};

TEST_F(BigMacro, ItsTextShowsScrollsToTheEndSelectsCopiesAndTakesTyping) {
  const std::string text = macro({600, 600});
  ui::TextArea* area = selectBigMacro(text);
  ASSERT_TRUE(area);
  EXPECT_EQ(form1().Text1.text(), text);
  EXPECT_EQ(area->lineCount(), kLines + 1);  // the empty line after the last line break
  EXPECT_EQ(area->topLine(), 0u);
  EXPECT_EQ(area->lineText(0).toStdString(), firstLine(text));
  screenshot(area->window(), "main-window-big-macro");

  // The Options frame covers the field's top and the window's edge its bottom, as the window
  // was designed: the mouse drags across a line in between, from its start to past its end.
  const int height = area->fontMetrics().lineSpacing();
  QWidget* frame = widget(form1().Frame1);
  const int below =
      area->viewport()->mapFromGlobal(frame->mapToGlobal(QPoint(0, frame->height()))).y();
  const int bottom =
      area->viewport()
          ->mapFromGlobal(area->window()->mapToGlobal(QPoint(0, area->window()->height())))
          .y();
  const int row = (below + bottom) / 2 / height;  // a line whose middle is in sight
  ASSERT_GE(row * height + height / 2, below);
  ASSERT_LT(row * height + height / 2, bottom);
  moveTo(rootPoint(area->viewport(), {1, row * height + height / 2}));
  driver().button(1, true);
  moveTo(rootPoint(area->viewport(), {area->viewport()->width() - 5, row * height + height / 2}));
  driver().button(1, false);
  driver().sync();
  const QString dragged = area->lineText(area->topLine() + static_cast<std::size_t>(row));
  ASSERT_TRUE(waitFor([&] { return area->hasFocus() && area->selectedText() == dragged; }))
      << area->selectedText().toStdString() << " / " << dragged.toStdString();
  chord({"Control_L"}, "c");
  EXPECT_TRUE(waitFor([&] { return clipboard() == dragged; })) << clipboard().toStdString();

  // Ctrl+End reaches the end of the million lines; Shift+Up selects the last line with its
  // line break, and Ctrl+C copies it.
  chord({"Control_L"}, "End");
  ASSERT_TRUE(waitFor([&] { return area->caret() == text.size(); }));
  EXPECT_TRUE(inSight(area, kLines - 1));
  EXPECT_EQ(area->lineText(kLines - 1).toStdString(), lastLine(text));
  chord({"Shift_L"}, "Up");
  chord({"Control_L"}, "c");
  EXPECT_TRUE(waitFor([&] { return clipboard() == QString::fromStdString(lastLine(text) + "\n"); }))
      << clipboard().toStdString();
  screenshot(area->window(), "main-window-big-macro-end");

  // Typing at the end adds a line; Ctrl+Home goes back to the first line.
  tap("End");
  chord({"Control_L"}, "End");
  type("w:{x}-9");
  tap("Return");
  ASSERT_TRUE(waitFor([&] { return form1().Text1.text().size() == text.size() + 9; }));
  EXPECT_EQ(form1().Text1.text().substr(text.size()), "w:{x}-9\r\n");
  EXPECT_EQ(area->lineCount(), kLines + 2);
  chord({"Control_L"}, "Home");
  ASSERT_TRUE(waitFor([&] { return area->caret() == 0 && area->topLine() == 0; }));

  // A line pasted at the start comes in with the macro's CR LF; Ctrl+Z takes it out again, and
  // deleting at the start removes just one character.
  QApplication::clipboard()->setText("m:1, 2-3\n");
  chord({"Control_L"}, "v");
  ASSERT_TRUE(waitFor([&] { return form1().Text1.text().starts_with("m:1, 2-3\r\nm:"); }));
  EXPECT_EQ(area->lineText(0).toStdString(), "m:1, 2-3");
  EXPECT_EQ(area->lineText(1).toStdString(), firstLine(text));
  chord({"Control_L"}, "z");
  ASSERT_TRUE(waitFor([&] { return form1().Text1.text().starts_with("m:"); }));
  EXPECT_EQ(form1().Text1.text().size(), text.size() + 9);
  tap("Delete");
  ASSERT_TRUE(waitFor([&] { return form1().Text1.text().size() == text.size() + 8; }));
  EXPECT_EQ(form1().Text1.text().substr(0, 20), text.substr(1, 20));
  EXPECT_EQ(form1().Text1.text().substr(text.size() - 1), "w:{x}-9\r\n");
}

TEST_F(BigMacro, ItPlaysAndTheBreakKeyStopsIt) {
  ProbeWindow probe(folder(), "Big macro target", {"--focus-on-click"});
  ASSERT_TRUE(probe.waitFocused());
  const auto [x, y] = driver().toRoot(probe.window(), 20, 20);
  const std::string text = macro({x, y});
  ASSERT_TRUE(selectBigMacro(text));
  driver().activate(probe.window());
  ASSERT_TRUE(probe.waitFocused());
  const std::size_t from = probe.events().size();
  // The macro lasts almost three hours: Break stops it once its first keys have come.
  WhenReady stopKey([&] { return probe.events().size() >= from + 20; },
                    [&] {
                      driver().tap("Pause");
                      driver().sync();
                    });
  chord({"Control_L"}, "p");
  ASSERT_TRUE(waitFor([&] { return stopKey.done() && form1().playingMark().empty(); }, 30'000));
  pump(200);
  const auto seen = received(probe.events(), from);
  EXPECT_NE(std::find(seen.begin(), seen.end(), "key b 62"), seen.end());
  EXPECT_NE(std::find(seen.begin(), seen.end(), "key Pause -"), seen.end());
  // No button stays held: the stop released what a drag held.
  const auto count = [&](const std::string& kind) {
    return std::count_if(seen.begin(), seen.end(),
                         [&](const std::string& s) { return s.starts_with(kind); });
  };
  EXPECT_EQ(count("button-press"), count("button-release"));
  EXPECT_TRUE(form1().Command2.enabled());
  EXPECT_EQ(form1().Text1.text(), text);  // the play changed nothing of the macro
}

}  // namespace
}  // namespace qb::desktoptest
