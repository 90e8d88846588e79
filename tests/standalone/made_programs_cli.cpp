// The stub as built: its image holds no marker, and the programs made from it by "Make Macro a
// Exe" and by the shortcut maker play their macros when started with --dry-run.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/program.h"
#include "platform/sim/sim_desktop.h"
#include "script/make_exe.h"
#include "script/stand_alone_markers.h"
#include "shortcut/kestrip_form.h"
#include "support/sim_program.h"

namespace qb::test {
namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

struct Started {
  std::string out;
  int status = -1;
};

// Starts `program` with `arguments` through the shell, as a user would.
Started start(const std::string& program, const std::string& arguments) {
  Started run;
  FILE* pipe = popen(("'" + program + "' " + arguments + " 2>&1").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
  const int raw = pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

TEST(Tapbolt, ItsImageHoldsNeitherMarker) {
  const std::string image = readFile(QB_TAPBOLT_PATH);
  ASSERT_GT(image.size(), 10000u);
  for (const auto marker : {kRecordedMarkerWide, kAdvancedMarkerWide})
    EXPECT_EQ(image.find(narrowMarker(marker)), std::string::npos) << narrowMarker(marker);
}

TEST(Tapbolt, StartedBareItEndsAtOnceAndPlaysNothing) {
  const Started run = start(QB_TAPBOLT_PATH, "--dry-run");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.rfind("0 MessageBox There is no macro in ", 0), 0u) << run.out;
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
}

// Daventi installed in a folder of its own with the stub beside it; the macro folder is another.
class MadePrograms : public ::testing::Test {
 protected:
  TempFolder root;
  std::string install = root.path() + "/install";
  std::string macros = root.path() + "/macros";
  platform::sim::SimDesktop sim;
  std::unique_ptr<Program> program;

  MadePrograms() {
    fs::create_directories(install);
    fs::create_directories(macros);
    fs::copy_file(QB_TAPBOLT_PATH, install + "/tapbolt");
    sim.setExecutablePath(install + "/daventi");
    EXPECT_TRUE(sim.settings().write("Options", "Location", macros));
    program = std::make_unique<Program>(sim.desktop(), ProgramConfig{});
    program->startUp();
  }

  // Saves `content` as the macro file `name`, selects it and makes its program.
  std::string make(const std::string& name, const std::string& content) {
    std::ofstream(macros + "/" + name, std::ios::binary) << content;
    program->library.ListMacro();
    const auto& items = program->form1.List1.items();
    const auto it = std::find(items.begin(), items.end(), name);
    EXPECT_NE(it, items.end()) << name;
    program->form1.List1.clickItem(static_cast<std::size_t>(it - items.begin()));
    program->form1.Command14.click();
    return macros + "/" + standAloneProgramName(name);
  }
};

TEST_F(MadePrograms, ARecordedAndAnAdvancedMacroPlayTheirOwnWay) {
  const Started recorded = start(
      make("Macro-a.txt", "m:100,100-1000\r\nm:200,200-1500\r\nm:clickl-3500\r\n"), "--dry-run");
  EXPECT_EQ(recorded.status, 0);
  EXPECT_EQ(recorded.out,
            "0 SetMousePos 100 100\n500 SetMousePos 200 200\n2500 LeftDown\n2500 LeftUp\n");

  const Started advanced = start(
      make("Macro-AM-b.txt", "m:leftclick\r\nw:hi\r\nwaiting=250\r\nw:{enter}\r\n"), "--dry-run");
  EXPECT_EQ(advanced.status, 0);
  EXPECT_EQ(advanced.out,
            "0 LeftDown\n0 LeftUp\n0 SendKeyString wait hi\n250 SendKeyString wait {enter}\n");
}

TEST_F(MadePrograms, TheLoopHeaderRepeatsAndMakingAgainReplacesTheProgram) {
  const std::string exe = make("Macro-AM-c.txt", "loop:3\r\nw:x\r\nwaiting=100\r\n");
  EXPECT_EQ(start(exe, "--dry-run").out,
            "0 SendKeyString wait x\n100 SendKeyString wait x\n200 SendKeyString wait x\n");
  program->form1.Text1.setText("loop:2\r\nw:y\r\n");
  program->form1.Command14.click();
  EXPECT_EQ(start(exe, "--dry-run").out, "0 SendKeyString wait y\n0 SendKeyString wait y\n");
}

TEST_F(MadePrograms, TheDryRunOptionsStopOrBoundAnEndlessProgram) {
  const std::string exe = make("Macro-AM-d.txt", "loop:infinite\r\nw:z\r\nwaiting=1000\r\n");
  const Started stopped = start(exe, "--dry-run --stop-at 1500");
  EXPECT_EQ(stopped.status, 0);
  EXPECT_EQ(stopped.out, "0 SendKeyString wait z\n1000 SendKeyString wait z\n");
  const Started bounded = start(exe, "--max-ms 1500 --dry-run");
  EXPECT_EQ(bounded.status, 3);
  EXPECT_EQ(bounded.out,
            "0 SendKeyString wait z\n1000 SendKeyString wait z\n"
            "1500 Ended at the bound: virtual time reached its bound of 1500 ms\n");
}

TEST_F(MadePrograms, AProgramFromTheShortcutMakerPlaysItsMacroWithTheRecordedPlayer) {
  // The maker lies beside the stub and writes the program beside itself.
  std::ofstream(macros + "/Macro-AM-e.txt", std::ios::binary) << "m:7,8-0\r\nm:leftclick\r\n";
  platform::sim::SimDesktop makerDesktop;
  makerDesktop.setExecutablePath(install + "/kestrip");
  makerDesktop.setArguments("KWhatever5150");
  EXPECT_TRUE(makerDesktop.settings().write("Options", "Location", macros));
  KestripForm maker(makerDesktop.desktop());
  maker.start();
  maker.Files.clickItem(0);
  maker.Location.setText(root.path());
  maker.Key.setText("F9");
  maker.Ok.click();
  ASSERT_EQ(makerDesktop.shortcuts().size(), 1u);
  EXPECT_EQ(start(install + "/Macro-AM-e.exe", "--dry-run").out, "0 SetMousePos 7 8\n");
}

}  // namespace
}  // namespace qb::test
