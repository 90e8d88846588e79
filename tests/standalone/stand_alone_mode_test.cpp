// The stub's start-up: it plays the macro appended to its own file and ends.

#include <gtest/gtest.h>

#include <fstream>

#include "app/program.h"
#include "platform/sim/sim_desktop.h"
#include "platform/virtual_keys.h"
#include "script/make_exe.h"
#include "support/sim_play.h"
#include "support/sim_program.h"

namespace qb::test {
namespace {

namespace vk = platform::vk;

// A stand-alone program file made from a small stub image, started on the simulated desktop.
class StandAlone : public ::testing::Test {
 protected:
  platform::sim::SimDesktop sim;
  TempFolder folder;
  std::string stub = folder.path() + "/tapbolt";
  std::string self = folder.path() + "/Macro-x.exe";

  StandAlone() { std::ofstream(stub, std::ios::binary) << "stub image"; }

  // Makes the program, starts it and returns its actions.
  std::vector<std::string> start(const std::string& macro, bool advanced,
                                 const std::string& arguments = "") {
    EXPECT_TRUE(writeStandAloneProgram(stub, self, macro, advanced));
    return startAs(self, arguments);
  }
  std::vector<std::string> startAs(const std::string& path, const std::string& arguments = "") {
    sim.setExecutablePath(path);
    sim.setArguments(arguments);
    program = std::make_unique<Program>(sim.desktop(), ProgramConfig{.standAloneBuild = true});
    EXPECT_FALSE(program->startUp());
    std::vector<std::string> lines;
    for (const auto& e : sim.log().entries()) {
      std::string line = platform::sim::SimLog::formatLine(e.at, e.action, e.args);
      line.pop_back();
      lines.push_back(line);
    }
    return lines;
  }

  std::unique_ptr<Program> program;
};

TEST_F(StandAlone, PlaysARecordedMacroFirstLineIncludedAndEnds) {
  const auto actions = start(macro({"m:100,100-1000", "m:200,200-1500", "m:clickl-3500"}), false);
  EXPECT_EQ(actions, (std::vector<std::string>{"0 SetMousePos 100 100", "500 SetMousePos 200 200",
                                               "2500 LeftDown", "2500 LeftUp"}));
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(program->exitStatus(), 0);
  EXPECT_FALSE(program->form1.visible());
  EXPECT_FALSE(sim.hookInstalled());
  EXPECT_TRUE(program->form1.Text1.tag().empty());
}

TEST_F(StandAlone, PlaysAnAdvancedMacroWithTheRunnerAsOftenAsItsHeaderSays) {
  const auto actions = start(macro({"loop:3", "m:leftclick", "waiting=100"}), true);
  EXPECT_EQ(actions, (std::vector<std::string>{"0 LeftDown", "0 LeftUp", "100 LeftDown",
                                               "100 LeftUp", "200 LeftDown", "200 LeftUp"}));
  EXPECT_EQ(program->form1.Text1.tag(), "7777777777777");
}

TEST_F(StandAlone, ARecordedMacroGetsTheRecordedPlayerAndItsOwnLoopHeader) {
  // The same text through the recorded player: the advanced command is no recorded line.
  EXPECT_EQ(start(macro({"loop:2", "m:leftclick", "m:5,5-0"}), false),
            (std::vector<std::string>{"0 SetMousePos 5 5", "0 SetMousePos 5 5"}));
}

TEST_F(StandAlone, TheBreakKeyDuringThePlayEndsTheProgram) {
  sim.loop().at(1500, [this] { sim.pressKey({vk::Pause, 0, 0, 0, 0}); });
  const auto actions = start(macro({"loop:infinite", "w:a", "waiting=1000"}), true);
  EXPECT_EQ(actions,
            (std::vector<std::string>{"0 SendKeyString wait a", "1000 SendKeyString wait a"}));
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(program->exitStatus(), 0);
}

TEST_F(StandAlone, AnEmptyMacroIsRefusedByThePlayer) {
  EXPECT_EQ(start("", false),
            (std::vector<std::string>{
                "0 MessageBox Could you Please select or record a macro to play."}));
  EXPECT_TRUE(program->ended());
}

TEST_F(StandAlone, TheBareStubEndsAtOnceWithoutPlayingItsOwnBytes) {
  {
    std::ofstream(stub, std::ios::binary) << "w:typed\r\nm:1,1-0\r\n";  // bytes that would play
  }
  const auto actions = startAs(stub);
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_EQ(actions[0].rfind("0 MessageBox There is no macro in " + stub, 0), 0u) << actions[0];
  EXPECT_TRUE(program->ended());
  EXPECT_EQ(program->exitStatus(), 1);
  EXPECT_FALSE(sim.hookInstalled());
}

TEST_F(StandAlone, AnOwnFileThatCannotBeReadIsNamed) {
  const auto actions = startAs(folder.path() + "/renamed.exe");
  ASSERT_EQ(actions.size(), 1u);
  EXPECT_NE(actions[0].find(folder.path() + "/renamed.exe"), std::string::npos) << actions[0];
  EXPECT_EQ(program->exitStatus(), 1);
}

TEST_F(StandAlone, AStubGivenAMacroFilePlaysThatFile) {
  const std::string other = folder.path() + "/Macro-other.txt";
  std::ofstream(other, std::ios::binary) << "m:7,7-0\r\n";
  EXPECT_EQ(start(macro({"m:1,1-0"}), false, "  " + other + " "),
            std::vector<std::string>{"0 SetMousePos 7 7"});
}

}  // namespace
}  // namespace qb::test
