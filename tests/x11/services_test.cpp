// The Qt and file-based services: settings, shortcuts, environment, clipboard, dialogs,
// window stack, editor, the event loop, and the message when there is no X display.

#include <sys/stat.h>

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "common/file_io.h"
#include "platform/qt/linux_environment.h"
#include "platform/x11/desktop_entry_writer.h"
#include "tests/x11/desktop_fixture.h"

namespace qb::x11test {
namespace {

using platform::x11::X11Desktop;

using ServicesTest = DesktopTest;

TEST_F(ServicesTest, SettingsLiveInTheUsersConfigFolder) {
  const std::string config = folder() + "/xdg-config";
  ScopedEnv xdg("XDG_CONFIG_HOME", config);
  auto first = X11Desktop::create();
  ASSERT_TRUE(first) << first.message();
  const auto written = (*first)->desktop().settings.write("Options", "Speed", "2\r\nfast");
  ASSERT_TRUE(written) << written.message();
  first->reset();
  EXPECT_TRUE(fileExists(config + "/quillbarrow/settings.ini"));
  auto second = X11Desktop::create();
  ASSERT_TRUE(second) << second.message();
  EXPECT_EQ((*second)->desktop().settings.read("options", "SPEED"), "2\r\nfast");
}

TEST_F(ServicesTest, ShortcutsAreExecutableDesktopEntries) {
  const std::string path = folder() + "/My macro.desktop";
  platform::Shortcut shortcut{path, "/opt/macros/run me", "CTRL+ALT+F7"};
  const auto written = desktop().shortcuts.write(shortcut);
  ASSERT_TRUE(written) << written.message();
  EXPECT_EQ(*readWholeFile(path),
            "[Desktop Entry]\nType=Application\nVersion=1.0\nName=My macro\n"
            "Exec=\"/opt/macros/run me\"\nPath=/opt/macros\nTerminal=false\n"
            "X-Quillbarrow-HotKey=CTRL+ALT+F7\n");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_TRUE(st.st_mode & S_IXUSR);
  const auto refused =
      desktop().shortcuts.write({folder() + "/no/such/folder/x.desktop", "/bin/true", ""});
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.message().find("no/such/folder/x.desktop"), std::string::npos)
      << refused.message();
}

TEST(DesktopEntry, QuotesExecArgumentsAsTheSpecificationAsks) {
  struct Case {
    const char* argument;
    const char* exec;
  };
  for (const Case& c :
       {Case{"/usr/bin/prog", "/usr/bin/prog"}, Case{"/a b/c", "\"/a b/c\""},
        Case{"/a\\b", "\"/a\\\\\\\\b\""}, Case{"/50%", "/50%%"}, Case{"/x$y", "\"/x\\\\$y\""},
        Case{"/say \"hi\"", "\"/say \\\\\"hi\\\\\"\""}, Case{"", "\"\""}}) {
    EXPECT_EQ(platform::x11::desktopExecArgument(c.argument), c.exec) << c.argument;
  }
}

TEST_F(ServicesTest, EnvironmentNamesTheProgramItsArgumentsAndFolders) {
  EXPECT_EQ(std::filesystem::path(desktop().environment.executablePath()),
            std::filesystem::canonical(QB_X11_TEST_EXECUTABLE));
  EXPECT_EQ(desktop().environment.arguments(), "--dry-run two words");

  const std::string home = folder() + "/home";
  std::filesystem::create_directories(home + "/config");
  std::ofstream(home + "/config/user-dirs.dirs")
      << "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
         "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n";
  ScopedEnv homeEnv("HOME", home);
  ScopedEnv config("XDG_CONFIG_HOME", home + "/config");
  ScopedEnv data("XDG_DATA_HOME", std::nullopt);
  EXPECT_EQ(
      desktop().environment.specialFolders(),
      (std::vector<std::string>{home + "/Schreibtisch", home + "/.local/share/applications"}));
  std::filesystem::remove(home + "/config/user-dirs.dirs");
  ScopedEnv data2("XDG_DATA_HOME", home + "/data");
  EXPECT_EQ(desktop().environment.specialFolders(),
            (std::vector<std::string>{home + "/Desktop", home + "/data/applications"}));
}

TEST(UserDirs, ReadsTheDesktopFolder) {
  using platform::x11::desktopFolderFromUserDirs;
  EXPECT_EQ(desktopFolderFromUserDirs("XDG_DESKTOP_DIR=\"$HOME/Desk top\"\n", "/h"), "/h/Desk top");
  EXPECT_EQ(desktopFolderFromUserDirs("XDG_DESKTOP_DIR=\"/srv/desk\"", "/h"), "/srv/desk");
  EXPECT_EQ(desktopFolderFromUserDirs("XDG_DESKTOP_DIR=\"$HOME\"", "/h"), "/h");
  EXPECT_EQ(desktopFolderFromUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/Docs\"", "/h"), "");
}

TEST_F(ServicesTest, ClipboardRoundTrip) {
  auto& clipboard = desktop().clipboard;
  ASSERT_TRUE(clipboard.setText("Grüße\r\nzwei"));
  EXPECT_EQ(clipboard.text(), "Grüße\r\nzwei");
  ASSERT_TRUE(clipboard.clear());
  EXPECT_FALSE(clipboard.text().has_value() && !clipboard.text()->empty());
}

// What another program reads from the clipboard in one format, through the X server (xclip).
std::string readClipboardAs(const std::string& format) {
  QProcess reader;
  reader.start("xclip", {"-selection", "clipboard", "-o", "-t", QString::fromStdString(format)});
  // The clipboard's owner is this process: it answers while the loop turns.
  x11test::waitFor([&] { return reader.state() == QProcess::NotRunning; }, 5000);
  return reader.readAllStandardOutput().toStdString();
}

TEST_F(ServicesTest, ContentsRestoredAfterAPasteKeepEveryFormat) {
  QImage picture(7, 5, QImage::Format_RGB32);
  picture.fill(Qt::red);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  picture.save(&buffer, "PNG");
  auto* offered = new QMimeData;
  offered->setData("image/png", png);
  offered->setHtml("<b>bold</b>");
  offered->setText("plain");
  QGuiApplication::clipboard()->setMimeData(offered);

  auto& clipboard = desktop().clipboard;
  const platform::ClipboardContents kept = clipboard.contents();
  ASSERT_TRUE(clipboard.setText("pasted"));
  EXPECT_EQ(readClipboardAs("text/plain"), "pasted");
  EXPECT_EQ(readClipboardAs("x-kde-passwordManagerHint"), "secret");  // kept out of histories
  ASSERT_TRUE(clipboard.restore(kept));
  EXPECT_EQ(readClipboardAs("text/html"), "<b>bold</b>");
  EXPECT_EQ(readClipboardAs("text/plain"), "plain");
  const std::string image = readClipboardAs("image/png");
  EXPECT_EQ(QImage::fromData(QByteArray(image.data(), static_cast<qsizetype>(image.size()))).size(),
            QSize(7, 5));

  // An empty clipboard comes back empty.
  QGuiApplication::clipboard()->clear();
  const platform::ClipboardContents none = clipboard.contents();
  clipboard.setText("pasted");
  clipboard.restore(none);
  EXPECT_FALSE(clipboard.text().has_value() && !clipboard.text()->empty());
}

TEST_F(ServicesTest, MessageBoxesShowTheTitleAndReturnTheAnswer) {
  struct Case {
    platform::MessageButtons buttons;
    QMessageBox::StandardButton click;
    platform::MessageAnswer answer;
  };
  for (const Case& c :
       {Case{platform::MessageButtons::YesNo, QMessageBox::No, platform::MessageAnswer::No},
        Case{platform::MessageButtons::YesNo, QMessageBox::Yes, platform::MessageAnswer::Yes},
        Case{platform::MessageButtons::Ok, QMessageBox::Ok, platform::MessageAnswer::Ok}}) {
    QString title, text;
    QTimer::singleShot(50, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      title = box->windowTitle();
      text = box->text();
      box->button(c.click)->click();
    });
    EXPECT_EQ(desktop().dialogs.messageBox("Überschreiben?", "Quillbarrow", c.buttons), c.answer);
    EXPECT_EQ(title.toStdString(), "Quillbarrow");
    EXPECT_EQ(text.toStdString(), "Überschreiben?");
  }
}

TEST_F(ServicesTest, TopmostWindowsAskTheWindowManagerToKeepThemAbove) {
  QWidget form;
  form.setWindowTitle("Form one");
  form.resize(200, 100);
  form.show();
  x11_->windowStack().registerWindow("Form1", &form);
  // The window manager's view of the form: -1 while it manages no such window, else whether
  // it keeps it above the others. Qt makes a new native window when the flags change, so the
  // window is looked up by its title each time.
  const auto above = [&] {
    for (const auto window : x11_->windows().clientList())
      if (x11_->windows().titleOf(window) == "Form one")
        return driver().hasWindowState(window, "_NET_WM_STATE_ABOVE") ? 1 : 0;
    return -1;
  };
  ASSERT_TRUE(waitFor([&] { return above() == 0; }));
  ASSERT_TRUE(desktop().windowStack.setTopmost("Form1", true));
  EXPECT_TRUE(waitFor([&] { return above() == 1 && form.isVisible(); }));
  ASSERT_TRUE(desktop().windowStack.setTopmost("Form1", false));
  EXPECT_TRUE(waitFor([&] { return above() == 0 && form.isVisible(); }));
  EXPECT_FALSE(desktop().windowStack.setTopmost("FormMacroBuilder", true));
}

TEST_F(ServicesTest, TextFilesOpenInTheUsersEditorInATerminal) {
  const std::string terminal = standIn("x-terminal-emulator");
  const std::string opener = standIn("xdg-open");
  ScopedEnv path("PATH", pathWithStandIns());
  const std::string file = folder() + "/Macro one.txt";
  struct Case {
    std::optional<std::string> visual, editor;
    std::string record, called;
  };
  const std::string bin = folder() + "/bin/";
  for (const Case& c :
       {Case{std::nullopt, "vim -p", terminal,
             bin + "x-terminal-emulator|-e|vim|-p|" + file + "|\n"},
        Case{"emacs", "vim", terminal, bin + "x-terminal-emulator|-e|emacs|" + file + "|\n"},
        Case{std::nullopt, std::nullopt, opener, bin + "xdg-open|" + file + "|\n"}}) {
    std::filesystem::remove(c.record);
    ScopedEnv visual("VISUAL", c.visual);
    ScopedEnv editor("EDITOR", c.editor);
    const auto opened = desktop().shell.openTextEditor(file);
    ASSERT_TRUE(opened) << opened.message();
    ASSERT_TRUE(waitFor([&] { return fileExists(c.record); })) << c.called;
    EXPECT_EQ(*readWholeFile(c.record), c.called);
  }
}

TEST_F(ServicesTest, SaysWhatIsNeededWithoutAnXDisplay) {
  struct Case {
    std::optional<std::string> wayland;
    const char* mentions;
  };
  for (const Case& c : {Case{std::nullopt, "set DISPLAY"}, Case{"wayland-0", "XWayland"}}) {
    ScopedEnv display("DISPLAY", std::nullopt);
    ScopedEnv wayland("WAYLAND_DISPLAY", c.wayland);
    const auto refused = X11Desktop::create();
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.message().find(c.mentions), std::string::npos) << refused.message();
  }
  ScopedEnv display("DISPLAY", ":999");
  const auto refused = X11Desktop::create();
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.message().find("\":999\""), std::string::npos) << refused.message();
}

}  // namespace
}  // namespace qb::x11test
