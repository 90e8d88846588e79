// Shortcut hot keys on a real X server: the shortcut maker lists and starts the hot key service,
// the service started from its autostart entry as a desktop session would start it after a
// login starts a shortcut's program from its keys, and a key another program holds is said.

#include "platform/x11/hot_key_service.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/posix/desktop_entry_reader.h"
#include "shortcut/kestrip_form.h"
#include "tests/desktop/recorder_fixture.h"

// Last: Xlib's macros would clash with the toolkit's headers.
#include <X11/Xlib.h>

namespace qb::desktoptest {
namespace {

namespace fs = std::filesystem;
using namespace platform::x11;
using x11test::pump;
using x11test::ScopedEnv;
using x11test::waitFor;

// The shortcut maker beside the stub in hk-prog/, offering the user's shortcut folders.
class MakerEnvironment final : public platform::Environment {
 public:
  explicit MakerEnvironment(std::string folder) : folder_(std::move(folder)) {}
  std::string executablePath() override { return folder_ + "/hk-prog/kestrip"; }
  std::string arguments() override { return "KWhatever5150"; }
  std::vector<std::string> specialFolders() override { return shortcutFolders(); }
  std::string userDataFolder() override { return folder_ + "/data/quillbarrow"; }

 private:
  std::string folder_;
};

// Files of /proc say they are empty: read them as streams.
std::string readWholeFileOrEmpty(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The hot key services running on this test's display.
std::vector<pid_t> services() {
  std::vector<pid_t> found;
  const std::string display = std::string("DISPLAY=") + std::getenv("DISPLAY");
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::error_code ec;
    if (fs::read_symlink(entry.path() / "exe", ec) != fs::path(QB_HOTKEYS)) continue;
    const auto stat = readWholeFileOrEmpty(entry.path().string() + "/stat");
    if (stat.find(") Z") != std::string::npos) continue;  // ended, not reaped yet
    const std::string environ = readWholeFileOrEmpty(entry.path().string() + "/environ");
    if (environ.find(display + '\0') != std::string::npos)
      found.push_back(std::stoi(entry.path().filename().string()));
  }
  return found;
}

class HotKeyServiceTest : public RecorderTest {
 protected:
  void SetUp() override {
    RecorderTest::SetUp();
    // The user's folders live in the session's folder.
    home_ = std::make_unique<ScopedEnv>("HOME", folder() + "/home");
    config_ = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", folder() + "/home/.config");
    data_ = std::make_unique<ScopedEnv>("XDG_DATA_HOME", folder() + "/home/.local/share");
    for (const auto& f : shortcutFolders()) fs::create_directories(f);
    fs::create_directories(folder() + "/hk-prog");
    fs::copy_file(QB_TAPBOLT, folder() + "/hk-prog/tapbolt", fs::copy_options::overwrite_existing);
    dpy_ = XOpenDisplay(nullptr);
    ASSERT_NE(dpy_, nullptr);
  }
  void TearDown() override {
    stopServices();
    if (dpy_) XCloseDisplay(dpy_);
    data_.reset();
    config_.reset();
    home_.reset();
    RecorderTest::TearDown();
  }

  // Makes a shortcut on the desktop with the shortcut maker's window; what it said.
  std::string makeShortcut(const std::string& file, const std::string& key, bool ctrl, bool alt) {
    MakerEnvironment environment(folder());
    platform::Desktop& d = desktop();
    platform::Desktop makerDesktop{d.clock,       d.loop,      d.cursor,    d.buttons, d.keys,
                                   d.keyState,    d.windows,   d.processes, d.dialogs, d.log,
                                   d.settings,    d.hook,      d.clipboard, d.shell,   d.tray,
                                   d.windowStack, environment, writer_};
    KestripForm form(makerDesktop);
    ui::QtFormView view(form);
    form.start();
    form.show();
    if (!onScreen(view.window())) return "the shortcut maker is not on the screen";
    const auto& items = form.Files.items();
    const auto it = std::find(items.begin(), items.end(), file);
    if (it == items.end()) return file + " is not listed";
    clickItem(view.widget(form.Files), static_cast<std::size_t>(it - items.begin()));
    fill(view.widget(form.Key), key);
    if (ctrl) click(view.widget(form.Ctrl));
    if (alt) click(view.widget(form.Alt));
    fill(view.widget(form.Location), shortcutFolders()[0]);
    if (!waitFor([&] {
          return form.Ctrl.value() == ctrl && form.Alt.value() == alt &&
                 form.Files.listIndex() == it - items.begin() && form.Key.text() == key;
        }))
      return "the form was not filled";
    const std::size_t shown = boxes().texts().size();
    click(view.widget(form.Ok));
    if (!waitFor([&] { return boxes().texts().size() == shown + 1; }, 15000)) return "no message";
    return boxes().texts().back();
  }

  // Ends the services as the end of a session does, and waits until the server has let go of
  // their keys.
  void stopServices() {
    for (const pid_t pid : services()) kill(pid, SIGTERM);
    if (started_ > 0) waitpid(started_, nullptr, 0);
    started_ = -1;
    EXPECT_TRUE(waitFor([&] { return services().empty() && !hotKeyServiceRunning(dpy_); }));
  }

  // Starts a program as a desktop session starts an autostart entry: its Exec line, no shell.
  void startAsAutostart(const std::string& entry) {
    auto keys = desktopEntryKeys(readFile(entry));
    const auto argv = desktopExecArguments(keys["Exec"]);
    ASSERT_TRUE(argv) << argv.message();
    ASSERT_FALSE(argv->empty());
    started_ = fork();
    if (started_ == 0) {
      std::vector<char*> args;
      for (const auto& a : *argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execvp(args[0], args.data());
      _exit(127);
    }
  }

  std::optional<std::string> state(const std::string& entry, const std::string& hotKey) {
    return hotKeyServiceState(dpy_, entry, hotKey);
  }

  DesktopEntryWriter writer_{QB_HOTKEYS};
  Display* dpy_ = nullptr;
  pid_t started_ = -1;
  std::unique_ptr<ScopedEnv> home_, config_, data_;
};

TEST_F(HotKeyServiceTest, AShortcutsHotKeyStartsItsProgramAfterLoginAndStopsWhenItIsRemoved) {
  ProbeWindow probe(folder(), "Hot key target", {"--focus-on-click"});
  ASSERT_TRUE(probe.waitFocused());
  const auto [x, y] = driver().toRoot(probe.window(), 60, 40);
  writeFile(macroFolder() + "/Macro-hot.txt", "m:" + std::to_string(x) + ", " + std::to_string(y) +
                                                  "-100\r\nm:clickl-150\r\nw:hot{enter}-200\r\n");
  ASSERT_TRUE(services().empty());

  // The maker lists the service for the next logins and starts it now; the key works at once.
  EXPECT_EQ(makeShortcut("Macro-hot.txt", "K", true, true), "Short Cut Complete");
  const std::string autostart = folder() + "/home/.config/autostart/quillbarrow-hotkeys.desktop";
  ASSERT_TRUE(fs::exists(autostart));
  EXPECT_EQ(services().size(), 1u);
  const std::string entry = shortcutFolders()[0] + "/Macro-hot.desktop";
  EXPECT_EQ(state(entry, "CTRL+ALT+K"), "ok");

  // A new session: the service starts from its autostart entry.
  stopServices();
  startAsAutostart(autostart);
  ASSERT_TRUE(
      waitFor([&] { return state(entry, "CTRL+ALT+K") == std::optional<std::string>("ok"); }));

  // Ctrl+Alt+K through Xvfb's own keyboard, with the test window in front.
  const auto pressCtrlAltK = [&] {
    driver().activate(probe.window());
    ASSERT_TRUE(probe.waitFocused());
    driver().key("Control_L", true);
    driver().key("Alt_L", true);
    driver().tap("k");
    driver().key("Alt_L", false);
    driver().key("Control_L", false);
  };
  pressCtrlAltK();
  ASSERT_TRUE(waitFor([&] { return probe.typed() == "hot\r"; }, 15000))
      << testing::PrintToString(received(probe.events()));

  // The entry removed, its key does nothing any more.
  fs::remove(entry);
  ASSERT_TRUE(waitFor([&] { return !state(entry, "CTRL+ALT+K"); }));
  pressCtrlAltK();
  // The keys reach the window as they are (Ctrl+K types a vertical tab); no program is started.
  ASSERT_TRUE(waitFor([&] { return probe.typed() == "hot\r\v"; })) << probe.typed();
  pump(1500);
  EXPECT_EQ(probe.typed(), "hot\r\v");
}

TEST_F(HotKeyServiceTest, AKeyAnotherProgramHoldsIsSaidByTheShortcutMaker) {
  writeFile(macroFolder() + "/Macro-taken.txt", "w:t-0\r\n");
  writeFile(macroFolder() + "/Macro-free.txt", "w:f-0\r\n");
  driver().grabKey(driver().keycode("F9"), true);
  EXPECT_EQ(makeShortcut("Macro-taken.txt", "F9", false, false),
            "The shortcut was written, but its hot key F9 does not work: another program already "
            "uses this key combination. Choose another key and make the shortcut again.");
  EXPECT_TRUE(fs::exists(shortcutFolders()[0] + "/Macro-taken.desktop"));
  // The running service takes the next shortcut's free key.
  EXPECT_EQ(makeShortcut("Macro-free.txt", "F10", false, false), "Short Cut Complete");
  EXPECT_EQ(services().size(), 1u);
  EXPECT_EQ(state(shortcutFolders()[0] + "/Macro-taken.desktop", "F9"), "taken");
  driver().grabKey(driver().keycode("F9"), false);
}

}  // namespace
}  // namespace qb::desktoptest
