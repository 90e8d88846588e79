// Desktop entries as launchers read them: the shortcut maker's entries for awkward program
// paths, run by GLib's launcher and checked by desktop-file-validate; the hot key service's
// reading of entries and hot key texts.

#include <sys/wait.h>

#include <filesystem>
#include <fstream>

#include "common/file_io.h"
#include "platform/posix/desktop_entry_reader.h"
#include "platform/x11/desktop_entry_writer.h"
#include "platform/x11/hot_key_grabber.h"
#include "tests/x11/desktop_fixture.h"

namespace qb::x11test {
namespace {

namespace fs = std::filesystem;
using namespace platform::x11;

// Runs a command line through the shell; its exit status and what it printed.
std::pair<int, std::string> run(const std::string& command) {
  std::string output;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return {-1, "popen failed"};
  char buffer[512];
  while (const std::size_t got = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// A path as one shell word.
std::string shellWord(const std::string& text) {
  std::string word = "'";
  for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

TEST(DesktopEntryReading, ExecLinesSplitAsTheDesktopEntryRulesSay) {
  struct Case {
    const char* exec;  // unescaped
    std::vector<std::string> argv;
  };
  const std::vector<Case> cases{
      {"prog", {"prog"}},
      {"  /a/prog  one\ttwo ", {"/a/prog", "one", "two"}},
      {R"("/a b/prog" "x \"q\" \` \$ \\ y")", {"/a b/prog", R"(x "q" ` $ \ y)"}},
      {"prog %f %U one%%two \"50%%\"", {"prog", "one%two", "50%"}},
      {R"("" prog)", {"", "prog"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const auto argv = desktopExecArguments(c.exec);
    ASSERT_TRUE(argv) << c.exec << ": " << argv.message();
    EXPECT_EQ(*argv, c.argv) << c.exec;
  }
  const auto unclosed = desktopExecArguments("\"/a/prog");
  ASSERT_FALSE(unclosed);
  EXPECT_NE(unclosed.message().find("unclosed quote"), std::string::npos) << unclosed.message();
}

TEST(DesktopEntryReading, KeysComeFromTheDesktopEntryGroupWithTheirEscapesResolved) {
  const auto keys = desktopEntryKeys(
      "# comment\n[Other]\nExec=no\n[Desktop Entry]\nName = A\\sb\nExec=\"/x\\\\\\\\y\"\n"
      "Exec=second\nX-Quillbarrow-HotKey=CTRL+\\\\\n[Desktop Action a]\nName=no\n");
  EXPECT_EQ(keys,
            (std::map<std::string, std::string>{
                {"Name", "A b"}, {"Exec", "\"/x\\\\y\""}, {"X-Quillbarrow-HotKey", "CTRL+\\"}}));
}

TEST(HotKeyText, ModifiersThenTheKey) {
  struct Case {
    const char* text;
    std::optional<HotKeyCombination> combination;
  };
  const std::vector<Case> cases{
      {"CTRL+F7", HotKeyCombination{true, false, false, "F7"}},
      {"CTRL+SHIFT+ALT+K", HotKeyCombination{true, true, true, "K"}},
      {"alt+ctrl+k", HotKeyCombination{true, false, true, "k"}},
      {"CTRL++", HotKeyCombination{true, false, false, "+"}},
      {"SHIFT+\\", HotKeyCombination{false, true, false, "\\"}},
      {"F12", HotKeyCombination{false, false, false, "F12"}},
      {"CTRL+", HotKeyCombination{false, false, false, "CTRL+"}},  // the key is the text left
      {"CTRL+CTRL+K", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(parseHotKeyText(c.text), c.combination) << c.text;
}

class LaunchedEntries : public DesktopTest {};

// Every shortcut the maker writes starts its program under GLib's launcher (gio launch), in the
// program's folder, and reads back as the same program in the hot key service; the entries
// validate. The names are macro names a user may give.
TEST_F(LaunchedEntries, AwkwardProgramPathsStartWithEveryLauncher) {
  const std::vector<std::string> names{
      "plain",         "with space",   "Macro-50%",      "100%%",
      "quote\"double", "single'quote", "dollar$HOME",    "back\\slash",
      "tick`s",        "equals=sign%", "semi;colon&amp", "caf\xC3\xA9 \xE2\x82\xAC",
      "tab\tchar",     "hash#1 *?",    "%f%u",
  };
  const std::string root = folder() + "/entries";
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    const std::string dir = root + "/dir " + name;
    const std::string program = dir + "/Macro-" + name + ".exe";
    const std::string out = root + "/launched-" + std::to_string(i);
    fs::create_directories(dir);
    std::ofstream(program) << "#!/bin/sh\nprintf '%s|%s\\n' \"$0\" \"$(pwd)\" > " << shellWord(out)
                           << ".part\nmv " << shellWord(out + ".part") << " " << shellWord(out)
                           << "\n";
    fs::permissions(program, fs::perms::owner_all);
    const std::string entry = root + "/entry-" + std::to_string(i) + ".desktop";
    DesktopEntryWriter writer;
    const auto written = writer.write({entry, program, "CTRL+ALT+K"});
    ASSERT_TRUE(written) << written.message();
    const std::string text = *readWholeFile(entry);

    // The hot key service reads the same program back: directly, or as sh's $0.
    auto keys = desktopEntryKeys(text);
    const auto argv = desktopExecArguments(keys["Exec"]);
    ASSERT_TRUE(argv) << name << ": " << argv.message();
    const bool throughShell = name.find('%') != std::string::npos;
    const std::vector<std::string> expected =
        throughShell ? std::vector<std::string>{"sh", "-c", "exec \"$0\" \"$@\"", program}
                     : std::vector<std::string>{program};
    EXPECT_EQ(*argv, expected) << name << "\n" << text;
    EXPECT_EQ(keys["Path"], dir) << name;

    const auto [valid, said] = run("desktop-file-validate " + shellWord(entry));
    EXPECT_EQ(valid, 0) << name << ": " << said << "\n" << text;
    const auto [launched, told] = run("gio launch " + shellWord(entry));
    EXPECT_EQ(launched, 0) << name << ": " << told << "\n" << text;
    ASSERT_TRUE(waitFor([&] { return fs::exists(out); }, 5000)) << name << ": " << told << "\n"
                                                                << text;
    EXPECT_EQ(*readWholeFile(out), program + "|" + dir + "\n") << name;
  }
}

TEST_F(LaunchedEntries, TheHotKeyServiceAutostartEntryValidatesAndStartsTheService) {
  const std::string dir = folder() + "/install 100%";
  fs::create_directories(dir);
  const std::string service = dir + "/quillbarrow-hotkeys";
  const std::string out = folder() + "/service-started";
  std::ofstream(service) << "#!/bin/sh\necho \"$0\" > " << shellWord(out) << ".part\nmv "
                         << shellWord(out + ".part") << " " << shellWord(out) << "\n";
  fs::permissions(service, fs::perms::owner_all);
  const std::string entry = folder() + "/quillbarrow-hotkeys.desktop";
  std::ofstream(entry) << hotKeyServiceAutostartText(service);
  const auto [valid, said] = run("desktop-file-validate " + shellWord(entry));
  EXPECT_EQ(valid, 0) << said;
  const auto [launched, told] = run("gio launch " + shellWord(entry));
  EXPECT_EQ(launched, 0) << told;
  ASSERT_TRUE(waitFor([&] { return fs::exists(out); }, 5000)) << told;
  EXPECT_EQ(*readWholeFile(out), service + "\n");
}

}  // namespace
}  // namespace qb::x11test
