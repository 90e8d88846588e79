// Programs made from macros on a real X server: "Make Macro a Exe" and the shortcut maker, whose
// made programs are then run as a user would start them, and play into another window.

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <filesystem>

#include "platform/posix/xdg_folders.h"
#include "shortcut/kestrip_form.h"
#include "tests/desktop/layout_check.h"
#include "tests/desktop/recorder_fixture.h"

namespace qb::desktoptest {
namespace {

namespace fs = std::filesystem;
using x11test::pump;
using x11test::waitFor;

// Runs a program with its own settings folder until it ends; its exit status, or -1 when it
// had to be ended.
int runProgram(const std::string& program, const std::string& configFolder) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("XDG_CONFIG_HOME", configFolder.c_str(), 1);
    // The sanitizer build's leak report would turn a D-Bus library's leftovers at exit into a
    // failure status; the status is the program's own verdict on the play.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  const bool ended = waitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 20000);
  if (!ended) {
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool executable(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IXUSR);
}

// The shortcut maker's view of the machine: it lives in a folder of its own with the stub beside
// it, was started by the recorder (with its token), and offers two folders for shortcuts.
class MakerEnvironment final : public platform::Environment {
 public:
  explicit MakerEnvironment(std::string folder) : folder_(std::move(folder)) {}
  std::string executablePath() override { return folder_ + "/prog/kestrip"; }
  std::string arguments() override { return "KWhatever5150"; }
  std::vector<std::string> specialFolders() override {
    return {folder_ + "/Desktop", folder_ + "/menu"};
  }
  std::string userDataFolder() override { return folder_ + "/data/quillbarrow"; }

 private:
  std::string folder_;
};

class StandAlone : public RecorderTest {
 protected:
  std::string macro(const ProbeWindow& probe, const std::string& text) {
    const auto [x, y] = driver().toRoot(probe.window(), 60, 40);
    return "m:" + std::to_string(x) + ", " + std::to_string(y) +
           "-100\r\nm:clickl-150\r\nw:" + text + "{enter}-200\r\n";
  }
};

TEST_F(StandAlone, AProgramMadeFromTheSelectedMacroPlaysItWhenStarted) {
  ProbeWindow probe(folder(), "Made program target", {"--focus-on-click"});
  ASSERT_TRUE(probe.waitFocused());
  const std::string text = macro(probe, "made");
  writeFile(macroFolder() + "/Macro-made.txt", text);
  start();
  clickItem(form1().List1, 0);
  ASSERT_TRUE(waitFor([&] { return form1().Text1.text() == text; }));
  click(form1().Command14);  // "Make Macro a Exe"
  const std::string made = macroFolder() + "/Macro-made.exe";
  ASSERT_TRUE(waitFor([&] { return boxes().texts().size() == 1; }));
  EXPECT_EQ(boxes().texts()[0], "Macro EXE is " + made);
  ASSERT_TRUE(executable(made));

  // Started without arguments, it plays its macro into the window it clicks, and ends.
  const auto [x, y] = driver().toRoot(probe.window(), 60, 40);
  const std::string at = std::to_string(x) + "," + std::to_string(y);
  driver().activate(probe.window());  // in front, so the made program's click reaches it
  ASSERT_TRUE(probe.waitFocused());
  const std::size_t from = probe.events().size();
  EXPECT_EQ(runProgram(made, folder() + "/made-config"), 0);
  ASSERT_TRUE(waitFor([&] { return received(probe.events(), from).size() == 7; }))
      << testing::PrintToString(received(probe.events(), from));
  EXPECT_EQ(received(probe.events(), from),
            (std::vector<std::string>{"button-press 1 " + at, "button-release 1 " + at, "key m 6d",
                                      "key a 61", "key d 64", "key e 65", "key Return 0d"}));
  pump(100);
  EXPECT_EQ(probe.typed(), "made\r");
}

TEST_F(StandAlone, CreateShortcutStartsTheShortcutMaker) {
  start();
  x11test::ScopedEnv config("XDG_CONFIG_HOME", folder() + "/maker-config");
  const auto makers = [&] {
    std::vector<unsigned long> found;
    for (const auto window : x11_->windows().clientList())
      if (x11_->windows().titleOf(window) == form1().caption() &&
          window != widget(form1().Command1)->window()->winId())
        found.push_back(window);
    return found;
  };
  ASSERT_TRUE(makers().empty());
  click(form1().Command7);  // "Create  Shortcut"
  ASSERT_TRUE(waitFor([&] { return makers().size() == 1; }));
  // It is the shortcut maker beside the recorder; it ends when asked to.
  const pid_t pid = driver().windowProcess(makers()[0]);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(pid) + "/exe"), fs::path(QB_KESTRIP));
  kill(pid, SIGTERM);
  EXPECT_TRUE(waitFor([&] { return makers().empty(); }));
}

TEST_F(StandAlone, TheShortcutMakerWritesADesktopEntryThatStartsTheMacrosProgram) {
  ProbeWindow probe(folder(), "Shortcut target", {"--focus-on-click"});
  ASSERT_TRUE(probe.waitFocused());
  const std::string text = macro(probe, "short");
  writeFile(macroFolder() + "/Macro-short.txt", text);
  writeFile(macroFolder() + "/Macro-other.txt", "w:x-0\r\n");
  for (const char* sub : {"/prog", "/Desktop", "/menu"}) fs::create_directories(folder() + sub);
  fs::copy_file(QB_TAPBOLT, folder() + "/prog/tapbolt");

  MakerEnvironment environment(folder());
  platform::Desktop& d = desktop();
  platform::Desktop makerDesktop{d.clock,       d.loop,      d.cursor,    d.buttons, d.keys,
                                 d.keyState,    d.windows,   d.processes, d.dialogs, d.log,
                                 d.settings,    d.hook,      d.clipboard, d.shell,   d.tray,
                                 d.windowStack, environment, d.shortcuts};
  KestripForm form(makerDesktop);
  ui::QtFormView view(form);
  screenshotBoxes("shortcut-maker-box");
  form.start();
  form.show();
  QWidget* window = view.window();
  ASSERT_TRUE(onScreen(window));
  screenshot(window, "shortcut-maker");
  EXPECT_EQ(layoutProblems(window), std::vector<std::string>{});
  EXPECT_EQ(form.Folder.text(), macroFolder());
  ASSERT_EQ(form.Files.items(), (std::vector<std::string>{"Macro-other.txt", "Macro-short.txt"}));

  // The key list drawn on the screen when it drops down.
  lookAtDropDown(view.widget(form.Key), "shortcut-maker-key-list");

  clickItem(view.widget(form.Files), 1);
  fill(view.widget(form.Key), "F7");
  click(view.widget(form.Ctrl));
  fill(view.widget(form.Location), folder() + "/Desktop");
  ASSERT_TRUE(waitFor([&] { return form.Ctrl.value() == 1 && form.Files.listIndex() == 1; }));
  click(view.widget(form.Ok));
  ASSERT_TRUE(waitFor([&] { return boxes().texts().size() == 1; }));
  // The entry is written; its hot key cannot work here, since the hot key service reads the
  // user's desktop and menu folders only, and the maker says so (hot_key_service_test.cpp has
  // shortcuts in those folders).
  const auto folders = platform::x11::shortcutFolders();
  EXPECT_EQ(boxes().texts()[0],
            "The shortcut was written, but its hot key CTRL+F7 works only for shortcuts on the "
            "desktop (" +
                folders[0] + ") or in the applications menu (" + folders[1] + ").");

  const std::string entry = folder() + "/Desktop/Macro-short.desktop";
  const std::string made = folder() + "/prog/Macro-short.exe";
  ASSERT_TRUE(executable(entry));
  ASSERT_TRUE(executable(made));
  EXPECT_EQ(readFile(entry),
            "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Macro-short\n"
            "Exec=" +
                made + "\nPath=" + folder() +
                "/prog\nTerminal=false\n"
                "X-Quillbarrow-HotKey=CTRL+F7\n");

  // The entry's program plays the macro.
  driver().activate(probe.window());
  ASSERT_TRUE(probe.waitFocused());
  EXPECT_EQ(runProgram(made, folder() + "/made-config"), 0);
  EXPECT_TRUE(waitFor([&] { return probe.typed() == "short\r"; })) << probe.typed();
}

}  // namespace
}  // namespace qb::desktoptest
