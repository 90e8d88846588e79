// Starting programs without a shell, and splitting command lines as a shell would.

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "common/file_io.h"
#include "platform/posix/command_line.h"
#include "tests/x11/desktop_fixture.h"

namespace qb::x11test {
namespace {

using platform::x11::setOwnDefaultEnvironment;
using platform::x11::spawnDetached;
using platform::x11::splitCommandLine;

TEST(CommandLine, SplitsLikeAShellWithoutExpanding) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
  };
  const std::vector<Case> cases{
      {"prog", {"prog"}},
      {"  prog   a\tb  ", {"prog", "a", "b"}},
      {R"(prog "two words" 'single $HOME' end)", {"prog", "two words", "single $HOME", "end"}},
      {R"(prog "a \"q\" \\ \$ \x" b)", {"prog", R"(a "q" \ $ \x)", "b"}},
      {R"(prog back\ slash \"x\" \\)", {"prog", "back slash", "\"x\"", "\\"}},
      {R"(prog "" '' x"y"'z')", {"prog", "", "", "xyz"}},
      {"prog a\\\nb", {"prog", "ab"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    const auto words = splitCommandLine(c.line);
    ASSERT_TRUE(words) << c.line;
    EXPECT_EQ(*words, c.words) << c.line;
  }
  for (const char* bad : {"prog \"open", "prog 'open"}) {
    const auto words = splitCommandLine(bad);
    ASSERT_FALSE(words) << bad;
    EXPECT_NE(words.message().find("unclosed"), std::string::npos) << words.message();
  }
}

class ProcessesTest : public DesktopTest {
 protected:
  std::string file(const std::string& name) { return folder() + "/" + name; }
  bool waitForFile(const std::string& path) {
    return waitFor([&] {
      const auto text = readWholeFile(path);
      return text && !text->empty() && text->back() == '\n';
    });
  }
};

TEST_F(ProcessesTest, StartsAProgramWithItsArgumentsAsWritten) {
  const std::string out = file("args.txt");
  // Each argument on a line: the quoted one stays whole, nothing is expanded.
  const std::string line =
      "sh -c 'printf \"%s\\n\" \"$@\" > " + out + "' sh \"two words\" '$HOME' a\\ b";
  const auto started = desktop().processes.start(line);
  ASSERT_TRUE(started) << started.message();
  ASSERT_TRUE(waitForFile(out));
  EXPECT_EQ(*readWholeFile(out), "two words\n$HOME\na b\n");
}

// The children of this process that have ended and wait to be reaped.
int zombieChildren() {
  int zombies = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    // Files of /proc say they are empty: read them as a stream.
    std::ifstream in(entry.path() / "stat");
    std::optional<std::string> stat;
    if (std::string text; std::getline(in, text)) stat = std::move(text);
    if (!stat) continue;
    const auto close = stat->rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(stat->substr(close + 2));
    char state = 0;
    long parent = 0;
    fields >> state >> parent;
    zombies += state == 'Z' && parent == getpid();
  }
  return zombies;
}

TEST_F(ProcessesTest, TheProgramRunsDetachedAndLeavesNoChildBehind) {
  // The check sees a child that was not waited for.
  const pid_t unwaited = fork();
  if (unwaited == 0) _exit(0);
  ASSERT_TRUE(x11test::waitFor([] { return zombieChildren() == 1; }));
  waitpid(unwaited, nullptr, 0);
  const std::string out = file("process.txt");
  // The started shell writes its parent and its session.
  const auto started =
      desktop().processes.start("sh -c 'cut -d\" \" -f4,6 /proc/$$/stat > " + out + "'");
  ASSERT_TRUE(started) << started.message();
  ASSERT_TRUE(waitForFile(out));
  std::istringstream fields(*readWholeFile(out));
  long parent = 0, sessionId = 0;
  fields >> parent >> sessionId;
  EXPECT_NE(parent, static_cast<long>(getpid())) << "not our child";
  EXPECT_NE(sessionId, static_cast<long>(getsid(0))) << "a session of its own";
  pump(100);
  EXPECT_EQ(zombieChildren(), 0);
}

TEST_F(ProcessesTest, ADocumentOpensWithTheDesktopsOpener) {
  const std::string opener = standIn("xdg-open");
  ScopedEnv path("PATH", pathWithStandIns());
  const std::string document = file("notes.txt");
  std::ofstream(document) << "not a program\n";
  const auto started = desktop().processes.start(document);
  ASSERT_TRUE(started) << started.message();
  ASSERT_TRUE(waitFor([&] { return fileExists(opener); }));
  EXPECT_EQ(*readWholeFile(opener), folder() + "/bin/xdg-open|" + document + "|\n");
}

TEST_F(ProcessesTest, SaysWhyAProgramCannotStart) {
  std::ofstream(file("notes.txt")) << "not a program\n";
  struct Case {
    std::string line;
    std::string mentions;
  };
  const std::vector<Case> cases{
      {"qb-no-such-program --flag", "\"qb-no-such-program\" not found"},
      {file("missing/prog"), "not found"},
      {file("notes.txt") + " arg", "not an executable program"},
      {"echo \"unclosed", "unclosed"},
      {"   ", "names no program"},
  };
  for (const Case& c : cases) {
    const auto started = desktop().processes.start(c.line);
    ASSERT_FALSE(started) << c.line;
    EXPECT_NE(started.message().find(c.mentions), std::string::npos) << started.message();
  }
}

TEST_F(ProcessesTest, ChildrenGetTheUsersEnvironmentNotTheValuesThisProgramSetForItself) {
  struct Case {
    const char* name;
    std::optional<std::string> users;    // the value the user started us with
    std::optional<std::string> changed;  // a value set after ours, by anyone
    std::optional<std::string> child;    // what a started program sees
  };
  const std::vector<Case> cases{
      {"QB_TEST_UNSET_BY_USER", std::nullopt, std::nullopt, std::nullopt},
      {"QB_TEST_SET_BY_USER", "wayland", std::nullopt, "wayland"},
      {"QB_TEST_CHANGED_LATER", std::nullopt, "offscreen", "offscreen"},
  };
  for (const Case& c : cases) {
    ScopedEnv user(c.name, c.users);
    setOwnDefaultEnvironment(c.name, "xcb");
    // This program itself always sees a value: the user's, else its own.
    ASSERT_NE(std::getenv(c.name), nullptr) << c.name;
    EXPECT_EQ(std::string(std::getenv(c.name)), c.users.value_or("xcb")) << c.name;
    if (c.changed) setenv(c.name, c.changed->c_str(), 1);
    const std::string out = file(std::string(c.name) + ".env");
    const auto started = desktop().processes.start(
        "sh -c 'printf \"%s\\n\" \"${" + std::string(c.name) + "-unset}\" > " + out + "'");
    ASSERT_TRUE(started) << started.message();
    ASSERT_TRUE(waitForFile(out)) << c.name;
    EXPECT_EQ(*readWholeFile(out), c.child.value_or("unset") + "\n") << c.name;
  }
}

TEST_F(ProcessesTest, AProgramStartsInTheWorkingFolderItIsGivenOrSaysWhyNot) {
  const std::string work = file("work folder %");
  std::filesystem::create_directories(work);
  const std::string out = file("pwd.txt");
  const auto spawned = spawnDetached({"sh", "-c", "pwd > \"$0\"", out}, work);
  ASSERT_TRUE(spawned) << spawned.message();
  ASSERT_TRUE(waitForFile(out));
  EXPECT_EQ(*readWholeFile(out), work + "\n");
  const auto refused = spawnDetached({"sh", "-c", "true"}, file("missing"));
  ASSERT_FALSE(refused);
  EXPECT_NE(refused.message().find("cannot enter the folder \"" + file("missing") + "\""),
            std::string::npos)
      << refused.message();
}

}  // namespace
}  // namespace qb::x11test
