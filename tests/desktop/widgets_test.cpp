// The windows as a person uses them: typing into the fields, moving through the lists with the
// keyboard, Enter and Escape in the dialogs, message boxes read off the screen, Minimize.
// Everything goes through the real widgets with Xvfb's keyboard and mouse; results are read
// from the files written and from the framebuffer.

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QListWidget>
#include <QProcess>
#include <QSystemTrayIcon>
#include <filesystem>

#include "builder/form_macro_builder.h"
#include "hotkeys/form2.h"
#include "tests/desktop/layout_check.h"
#include "tests/desktop/recorder_fixture.h"
#include "ui/qt/text_area.h"

namespace qb::desktoptest {
namespace {

namespace fs = std::filesystem;
using x11test::waitFor;

class Widgets : public RecorderTest {
 protected:
  FormMacroBuilder& openBuilder() {
    click(form1().Command17);
    EXPECT_TRUE(
        waitFor([&] { return program().builderLoaded() && program().builder().visible(); }));
    return program().builder();
  }
  int entry(const std::string& name) {
    const auto& items = form1().List1.items();
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i] == name) return static_cast<int>(i);
    return -1;
  }
};

TEST_F(Widgets, TypingIntoTheBuilderKeepsItsOrderAndEnterAndEscapeAnswerThePanels) {
  start();
  FormMacroBuilder& b = openBuilder();
  auto* text = dynamic_cast<ui::TextArea*>(widget(b.MacroText));
  ASSERT_TRUE(text && onScreen(text));
  click(text);
  ASSERT_TRUE(waitFor([&] { return text->hasFocus(); }));
  type("w:abc\rm:1, 2");
  tap("BackSpace");
  type("3");
  ASSERT_TRUE(waitFor([&] { return b.MacroText.text() == "w:abc\r\nm:1, 3"; }))
      << b.MacroText.text();
  // A selection typed over is replaced; a paste lands at the caret.
  chord({"Shift_L"}, "Home");
  type("waiting=5");
  QGuiApplication::clipboard()->setText("\nrun=x");
  chord({"Control_L"}, "v");
  ASSERT_TRUE(waitFor([&] { return b.MacroText.text() == "w:abc\r\nwaiting=5\r\nrun=x"; }))
      << b.MacroText.text();
  EXPECT_EQ(text->caret(), b.MacroText.text().size());

  // Escape cancels the loop panel and leaves the text alone.
  click(b.CmdLoop);
  fill(widget(b.loop.Count), "2");
  tap("Escape");
  ASSERT_TRUE(waitFor([&] { return !b.loop.FrameLoop.visible(); }));
  EXPECT_EQ(b.MacroText.text(), "w:abc\r\nwaiting=5\r\nrun=x");

  // Enter in the name field presses the save panel's OK.
  click(b.CmdSave);
  fill(widget(b.save.Name), "typed");
  tap("Return");
  const std::string saved = macroFolder() + "/Macro-AM-typed.txt";
  ASSERT_TRUE(waitFor([&] { return fs::exists(saved); }));
  EXPECT_EQ(readFile(saved), "w:abc\r\nwaiting=5\r\nrun=x\r\n");
}

TEST_F(Widgets, TheEntryTheKeyboardHighlightsIsTheOneLoadedRemovedAndMade) {
  writeFile(macroFolder() + "/Macro-one.txt", "w:{1}-0\r\n");
  writeFile(macroFolder() + "/Macro-two.txt", "w:{2}-0\r\n");
  writeFile(macroFolder() + "/Macro-three.txt", "w:{3}-0\r\n");
  start();
  auto* list = qobject_cast<QListWidget*>(widget(form1().List1));
  ASSERT_TRUE(waitFor([&] { return list->count() == 3; }));
  const int one = entry("Macro-one.txt");
  ASSERT_GE(one, 0);
  clickItem(form1().List1, static_cast<std::size_t>(one));
  ASSERT_TRUE(waitFor([&] { return form1().Text1.text() == "w:{1}-0\r\n"; }));

  // Down (or Up at the end) moves to a neighbour: it is loaded as a click loads it.
  const bool last = one == list->count() - 1;
  tap(last ? "Up" : "Down");
  const int moved = last ? one - 1 : one + 1;
  const std::string neighbour = form1().List1.items()[static_cast<std::size_t>(moved)];
  ASSERT_TRUE(waitFor([&] { return form1().List1.listIndex() == moved; }));
  EXPECT_TRUE(
      waitFor([&] { return form1().Text1.text() == readFile(macroFolder() + "/" + neighbour); }));
  EXPECT_EQ(list->currentRow(), moved);
  EXPECT_TRUE(list->item(moved)->isSelected());
  EXPECT_FALSE(form1().List1.selected(static_cast<std::size_t>(one)));

  // Home goes to the first entry; Ctrl+click offers no second selection.
  tap("Home");
  ASSERT_TRUE(waitFor([&] { return form1().List1.listIndex() == 0; }));
  driver().key("Control_L", true);
  clickItem(form1().List1, 2);
  driver().key("Control_L", false);
  ASSERT_TRUE(waitFor([&] { return form1().List1.listIndex() == 2; }));
  EXPECT_EQ(list->selectedItems().size(), 1);
  EXPECT_FALSE(form1().List1.selected(0));

  // Remove asks about the highlighted entry and deletes it.
  const std::string highlighted = form1().List1.items()[2];
  click(form1().Command10);
  ASSERT_TRUE(waitFor([&] { return !fs::exists(macroFolder() + "/" + highlighted); }));
  ASSERT_FALSE(boxes().texts().empty());
  EXPECT_EQ(boxes().texts().back(), "Are you sure you would like to delete macro " + highlighted);
}

TEST_F(Widgets, EnterConfirmsAndEscapeCancelsTheRepeatDialog) {
  const std::string file = macroFolder() + "/Macro-demo.txt";
  writeFile(file, "w:{a}-100\r\n");
  start();
  clickItem(form1().List1, 0);
  Form4& dialog = program().form4;
  QWidget* count = widget(dialog.Text2);
  const auto repeatWith = [&](const std::string& typed, const std::string& key) {
    WhenReady answer([&] { return dialog.visible() && exposed(count); },
                     [&] {
                       fill(count, typed);
                       tap(key);
                     });
    click(form1().Command19);
    ASSERT_TRUE(waitFor([&] { return answer.done() && !dialog.visible(); })) << key;
  };
  repeatWith("3", "Return");
  EXPECT_EQ(readFile(file), "loop:3\r\nw:{a}-100\r\n\r\n");
  repeatWith("5", "Escape");
  EXPECT_EQ(readFile(file), "loop:3\r\nw:{a}-100\r\n\r\n");
  repeatWith("4", "KP_Enter");
  EXPECT_EQ(readFile(file).rfind("loop:4\r\n", 0), 0u) << readFile(file);
}

TEST_F(Widgets, MessageBoxesAndDropDownsDrawOnTheScreen) {
  writeFile(macroFolder() + "/Macro-one.txt", "w:{1}-0\r\n");
  writeFile(macroFolder() + "/Macro-AM-gone.txt", "activate=No window has this title\r\n");
  fs::create_directories(macroFolder() + "/Macro-taken.txt");  // a save there fails
  screenshotBoxes("message-box");
  start();
  std::size_t shown = 0;
  const auto nextBox = [&](const std::string& says) {
    ASSERT_TRUE(waitFor([&] { return boxes().texts().size() == shown + 1; })) << says;
    EXPECT_NE(boxes().texts()[shown++].find(says), std::string::npos) << says;
  };
  click(form1().Command8);  // About
  nextBox("Quillbarrow");
  click(form1().Command14);  // "Make Macro a Exe" with nothing selected
  nextBox("");
  clickItem(form1().List1, static_cast<std::size_t>(entry("Macro-one.txt")));
  fill(widget(form1().Text2), "taken");
  click(form1().Command4);  // Save Macro into a folder's name
  nextBox("The macro could not be saved");
  clickItem(form1().List1, static_cast<std::size_t>(entry("Macro-AM-gone.txt")));
  ASSERT_TRUE(waitFor([&] { return form1().Command2.enabled(); }));
  click(form1().Command2);  // Play: the window to activate is missing
  nextBox("No window has this title");
  clickItem(form1().List1, static_cast<std::size_t>(entry("Macro-one.txt")));
  click(form1().Command10);  // Remove: the Yes/No question
  nextBox("Are you sure you would like to delete macro Macro-one.txt");

  // The builder's window-match list opened.
  FormMacroBuilder& b = openBuilder();
  click(b.CmdLimit);
  lookAtDropDown(widget(b.limit.Match), "builder-window-match-list");
}

TEST_F(Widgets, ThePictureCheckTellsAnUndrawnWindowFromADrawnOne) {
  start();
  QWidget* main = widget(form1().Command1)->window();
  QImage black(main->size(), QImage::Format_RGB32);
  black.fill(Qt::black);
  EXPECT_EQ(pictureProblems(main, black, QPoint(0, 0)),
            std::vector<std::string>{"the window's client area is one flat colour #0"});
  // The window's own background with its controls' borders but not their text.
  QImage blank = main->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRect about(widget(form1().Command8)->mapTo(main, QPoint(0, 0)),
                    widget(form1().Command8)->size());
  const QRgb face = blank.pixel(about.left() + 4, about.top() + 4);
  for (int y = about.top() + 3; y <= about.bottom() - 3; ++y)
    for (int x = about.left() + 3; x <= about.right() - 3; ++x) blank.setPixel(x, y, face);
  EXPECT_EQ(pictureProblems(main, blank, QPoint(0, 0)),
            std::vector<std::string>{"QPushButton \"About\" shows no text on the screen"});
}

TEST_F(Widgets, MinimizeWithoutANotificationAreaMinimisesToTheTaskBar) {
  start();
  QWidget* main = widget(form1().Command1)->window();
  click(form1().Command12);
  ASSERT_TRUE(waitFor([&] { return main->isMinimized(); }));
  EXPECT_TRUE(form1().visible());
  main->showNormal();  // as a click on its task bar entry does
  EXPECT_TRUE(onScreen(main));
}

TEST_F(Widgets, MinimizeHidesToTheNotificationIconThatBringsTheWindowBack) {
  // A notification area from Debian's packages, as a panel on the test's screen.
  QProcess tray;
  tray.start("trayer", {"--edge", "bottom", "--align", "left", "--widthtype", "pixel", "--width",
                        "200", "--height", "32", "--SetDockType", "true"});
  ASSERT_TRUE(tray.waitForStarted()) << "trayer (package trayer) is not installed";
  ASSERT_TRUE(waitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 10000));
  start();
  QWidget* main = widget(form1().Command1)->window();
  click(form1().Command12);
  ASSERT_TRUE(waitFor([&] { return !form1().visible() && !main->isVisible(); }));
  // The icon is a little window of the program's, embedded in the area.
  QWidget* icon = nullptr;
  ASSERT_TRUE(waitFor([&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (QString(w->metaObject()->className()).contains("SystemTray") && exposed(w)) icon = w;
    return icon != nullptr;
  }));
  screenshot(icon, "notification-icon");
  click(icon);
  ASSERT_TRUE(waitFor([&] { return form1().visible(); }));
  EXPECT_TRUE(onScreen(main));

  // Hidden again, and the area goes: the window comes back, minimised.
  click(form1().Command12);
  ASSERT_TRUE(waitFor([&] { return !main->isVisible(); }));
  tray.kill();
  tray.waitForFinished();
  ASSERT_TRUE(waitFor([&] { return form1().visible() && main->isMinimized(); }, 5000));
}

TEST_F(Widgets, EveryFieldOfTheBuilderTakesTypingAtTheCaret) {
  start();
  FormMacroBuilder& b = openBuilder();
  struct Field {
    forms::Button& panel;
    forms::TextBox& field;
  };
  for (const Field& f : {Field{b.CmdRun, b.run.Path}, Field{b.CmdLoop, b.loop.Count},
                         Field{b.CmdFile, b.file.Path}, Field{b.CmdMouse, b.mouse.X},
                         Field{b.CmdMouse, b.mouse.Y}, Field{b.CmdLimit, b.limit.WindowName},
                         Field{b.CmdActivate, b.activate.Title}, Field{b.CmdDelay, b.delay.Delay},
                         Field{b.CmdSendText, b.sendText.Text}, Field{b.CmdSave, b.save.Name}}) {
    click(f.panel);
    QWidget* field = widget(f.field);
    fill(field, "ac");
    // Back one character and on: typed where the caret is, not at the start or the end.
    tap("Left");
    type("b");
    tap("End");
    type(" 9");
    EXPECT_TRUE(waitFor([&] { return f.field.text() == "abc 9"; }))
        << f.field.name() << ": " << f.field.text();
    tap("BackSpace");
    tap("BackSpace");
    EXPECT_TRUE(waitFor([&] { return f.field.text() == "abc"; })) << f.field.name();
  }
  // Check boxes and option buttons answer the mouse and the space bar.
  click(b.CmdSendText);
  click(widget(b.sendText.Ctrl));
  EXPECT_TRUE(waitFor([&] { return b.sendText.Ctrl.value() == 1; }));
  tap("space");
  EXPECT_TRUE(waitFor([&] { return b.sendText.Ctrl.value() == 0; }));
  click(b.CmdMouse);
  click(widget(b.mouse.RightDown));
  EXPECT_TRUE(waitFor([&] { return b.mouse.RightDown.value() && !b.mouse.LeftClick.value(); }));
}

TEST_F(Widgets, TheBuildersMacroListLoadsWhatTheArrowKeysHighlight) {
  writeFile(macroFolder() + "/Macro-AM-a.txt", "w:a\r\n");
  writeFile(macroFolder() + "/Macro-AM-b.txt", "w:b\r\n");
  start();
  FormMacroBuilder& b = openBuilder();
  click(b.CmdList);
  ASSERT_TRUE(waitFor([&] { return b.edit.Macros.count() == 2; }));
  clickItem(b.edit.Macros, 0);
  const std::string first = b.edit.Macros.items()[0], second = b.edit.Macros.items()[1];
  ASSERT_TRUE(waitFor([&] { return b.MacroText.text() == readFile(macroFolder() + "/" + first); }));
  tap("Down");
  EXPECT_TRUE(waitFor([&] { return b.MacroText.text() == readFile(macroFolder() + "/" + second); }))
      << b.MacroText.text();
}

TEST_F(Widgets, TheMacroFieldFollowsAnEditOfATextAPlayStillShares) {
  start();
  auto* area = dynamic_cast<ui::TextArea*>(widget(form1().Text1));
  ASSERT_NE(area, nullptr);
  form1().Text1.setText("w:{a}-0\r\n");
  // A play holds the text while more comes in: the box changes a copy of it.
  auto held = form1().Text1.sharedText();
  form1().Text1.append("w:{b}-1\r\n");
  form1().Text1.replace(0, 0, "w:{c}-2\r\n");
  EXPECT_EQ(area->source(), &form1().Text1.text());
  held.reset();  // the play ends: the old text is gone
  ASSERT_EQ(area->lineCount(), 4u);
  EXPECT_EQ(area->lineText(0).toStdString(), "w:{c}-2");
  EXPECT_EQ(area->lineText(1).toStdString(), "w:{a}-0");
  EXPECT_EQ(area->lineText(2).toStdString(), "w:{b}-1");
}

TEST_F(Widgets, TheMacroFieldTakesTypingAtTheEndOfALoadedMacroAndSavesIt) {
  writeFile(macroFolder() + "/Macro-one.txt", "w:{1}-0\r\n");
  start();
  clickItem(form1().List1, 0);
  ASSERT_TRUE(waitFor([&] { return form1().Text1.text() == "w:{1}-0\r\n"; }));
  // The field lies below the designed layout: the user makes the window taller to reach it.
  auto* text = dynamic_cast<ui::TextArea*>(widget(form1().Text1));
  QWidget* main = text->window();
  main->resize(main->width(), text->geometry().bottom() + 10);
  ASSERT_TRUE(waitFor([&] { return main->height() > text->geometry().bottom(); }));
  click(text);
  ASSERT_TRUE(waitFor([&] { return text->hasFocus(); }));
  chord({"Control_L"}, "End");
  type("w:XYZ-5");
  ASSERT_TRUE(waitFor([&] { return form1().Text1.text() == "w:{1}-0\r\nw:XYZ-5"; }))
      << form1().Text1.text();
  fill(widget(form1().Text2), "typed");
  click(form1().Command4);  // Save Macro
  const std::string saved = macroFolder() + "/Macro-typed.txt";
  ASSERT_TRUE(waitFor([&] { return fs::exists(saved); }));
  EXPECT_EQ(readFile(saved), "w:{1}-0\r\nw:XYZ-5\r\n");
}

TEST_F(Widgets, AHotKeyRowTypedAndTickedIsStoredByEnter) {
  start();
  click(form1().Command15);  // "Show HotKeys"
  Form2& keys = program().form2;
  ASSERT_TRUE(waitFor([&] { return keys.visible(); }));
  fill(widget(keys.text(3)), "ac");
  tap("Left");
  type("b");
  click(widget(keys.option(1, 3)));
  ASSERT_TRUE(waitFor([&] { return keys.option(1, 3).value() == 1; }));
  click(widget(keys.text(3)));
  tap("Return");  // the window's OK
  ASSERT_TRUE(waitFor([&] { return desktop().settings.read("Hotkeys", "text1-3") == "abc"; }))
      << desktop().settings.read("Hotkeys", "text1-3").value_or("(none)");
}

}  // namespace
}  // namespace qb::desktoptest
