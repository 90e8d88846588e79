#include "script/runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "support/sim_play.h"

namespace qb {
namespace {

using test::macro;
using test::SimPlay;
using Lines = std::vector<std::string>;

std::vector<std::string> run(SimPlay& p, const std::string& text) { return p.play(text, true); }

TEST(Runner, CommandsRunOneAfterTheOther) {
  SimPlay p;
  p.sim.addWindow("Untitled - Notepad");
  EXPECT_EQ(run(p, macro({"m:300, 400", "m:leftclick", "w:abc", "WAITING=1500", "w:^{v}",
                          "Run=notepad.exe a.txt", "activate=Untitled", "m:RightClickDown",
                          "m:rightclickup", "m:leftclickdown", "m:LEFTCLICKUP", "m:rightclick",
                          "W:abc", "M:leftclick", "waiting=abc", "m:nonsense", "limitto:x"})),
            (Lines{"0 SetMousePos 300 400", "0 LeftDown", "0 LeftUp", "0 SendKeyString wait abc",
                   "1500 SendKeyString wait ^{v}", "1500 Run notepad.exe a.txt",
                   "1500 Activate Untitled", "1500 RightDown", "1500 RightUp", "1500 LeftDown",
                   "1500 LeftUp", "1500 RightDown", "1500 RightUp"}));
}

TEST(Runner, UnreadableCoordinateKeepsItsLastValue) {
  SimPlay p;
  EXPECT_EQ(run(p, macro({"m:10, 20", "m:x, 30", "m:40,", "m:-5, -7"})),
            (Lines{"0 SetMousePos 10 20", "0 SetMousePos 10 30", "0 SetMousePos 40 30",
                   "0 SetMousePos -5 -7"}));
}

TEST(Runner, RepeatCounts) {
  struct Case {
    const char* header;
    std::size_t sends;
  };
  for (const Case& c : {Case{"loop:2", 2}, Case{"loop:abc", 0}, Case{"loop:0", 0},
                        Case{"loop:40000", 40000}, Case{"Loop:3", 3}, Case{"", 1}}) {
    SimPlay p;
    run(p, std::string(c.header) + (*c.header ? "\r\n" : "") + "w:x\r\n");
    EXPECT_EQ(p.sim.sentKeys().size(), c.sends) << c.header;
  }
}

TEST(Runner, InfiniteLoopEndsOnTheStopRequest) {
  SimPlay p;
  p.sim.loop().at(1000, [&] { p.host.stop = true; });
  run(p, macro({"loop:INFINITE", "w:x", "waiting=300"}));
  EXPECT_EQ(p.sim.sentKeys().size(), 4u);  // at 0, 300, 600, 900
  EXPECT_EQ(p.host.playingMark, "");
}

TEST(Runner, WindowGateQuitsSilentlyOrWaits) {
  {
    SimPlay p;
    p.sim.setForeground("Untitled - Notepad");
    EXPECT_EQ(run(p, macro({"w:a", "limitto:q:em=Calculator", "w:b"})),
              (Lines{"0 SendKeyString wait a"}));
  }
  {
    SimPlay p;
    p.sim.setForeground("Calculator");
    p.sim.setForegroundAt(5000, "Untitled - Notepad");
    EXPECT_EQ(run(p, macro({"limitto:w:in=Notepad", "w:b"})), (Lines{"5000 SendKeyString wait b"}));
  }
}

TEST(Runner, WaitingGateEndsOnTheStopRequestAndReleasesButtons) {
  SimPlay p;
  p.sim.setForeground("Calculator");
  p.sim.loop().at(2000, [&] { p.host.stop = true; });
  EXPECT_EQ(run(p, macro({"m:leftclickdown", "limitto:w:em=Notepad", "w:b"})),
            (Lines{"0 LeftDown", "2000 LeftUp"}));
}

TEST(Runner, CheckWindowLimitMatchCodes) {
  using namespace std::string_literals;
  struct Case {
    std::string title;
    const char* argument;
    int result;
  };
  for (const Case& c : {
           Case{"Untitled - Notepad", "w:sw=Untitled", 0},
           Case{"Untitled - Notepad", "w:sw=Notepad", 1},
           Case{"Untitled - Notepad", "q:ew=Notepad", 0},
           Case{"Untitled - Notepad", "q:ew=Untitled", 2},
           Case{"Untitled - Notepad", "q:em=Untitled - Notepad", 0},
           Case{"  Untitled - Notepad \0"s, "q:em=Untitled - Notepad", 0},  // NULs and blanks go
           Case{"Untitled - Notepad", "q:in=titled", 0},
           Case{"Untitled - Notepad", "q:in=notepad", 2},  // case-sensitive
           Case{"Doc7 - Word", "q:sw=Doc#", 0},            // wildcards act in sw and ew
           Case{"Doc7 - Word", "q:em=Doc#", 2},
           Case{"anything", "q:zz=Notepad", 0},           // unknown code: go on
           Case{"anything", "W:em=Notepad", 2},           // only a lower-case w waits
       }) {
    platform::sim::SimDesktop sim;
    sim.setForeground(c.title);
    EXPECT_EQ(CheckWindowLimit(sim, c.argument), c.result) << c.title << " / " << c.argument;
  }
}

TEST(Runner, FailedActivateShowsTheMessageAndEndsTheRun) {
  SimPlay p;
  EXPECT_EQ(run(p, macro({"m:rightclickdown", "activate=Nosuchwindow", "w:never"})),
            (Lines{"0 RightDown", "0 Activate Nosuchwindow",
                   "0 MessageBox Nosuchwindow application to activate was not found", "0 RightUp"}));
}

TEST(Runner, FailedProgramStartIsSkipped) {
  SimPlay p;
  p.sim.failProgram("nosuch.exe");
  EXPECT_EQ(run(p, macro({"run=nosuch.exe", "w:next"})),
            (Lines{"0 Run nosuch.exe", "0 SendKeyString wait next"}));
}

class DataFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (std::filesystem::temp_directory_path() /
             ("qb-data-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt"))
                .string();
    std::ofstream(path_, std::ios::binary) << "first\r\nsecond\r\n";
  }
  void TearDown() override { std::filesystem::remove(path_); }
  std::string path_;
};

TEST_F(DataFile, OneLinePerExecutionForTheProgramsLife) {
  SimPlay p;
  run(p, macro({"loop:2", "filedata=" + path_, "w:{TAB}"}));
  // The index is never reset: a later run, and a second file name, go on with the same data.
  run(p, macro({"filedata=other-file-ignored.txt", "filedata=" + path_, "filedata=" + path_}));
  Lines sent;
  for (const auto& s : p.sim.sentKeys()) sent.push_back(s.text + (s.wait ? " wait" : " nowait"));
  // The file's text ends with CR LF: its empty last element types nothing, then it is exhausted.
  EXPECT_EQ(sent, (Lines{"first nowait", "{TAB} wait", "second nowait", "{TAB} wait"}));
}

TEST(Runner, MissingDataFileSendsNothingAndIsTriedAgain) {
  SimPlay p;
  EXPECT_TRUE(run(p, macro({"filedata=/nonexistent/qb-data.txt", "waiting=x", "w:after"})) ==
              (Lines{"0 SendKeyString wait after"}));
}

}  // namespace
}  // namespace qb
