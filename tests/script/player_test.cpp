#include "script/player.h"

#include <gtest/gtest.h>

#include "support/sim_play.h"

namespace qb {
namespace {

using test::macro;
using test::SimPlay;
using Lines = std::vector<std::string>;

TEST(Player, ReproducesTheRecordedPauses) {
  SimPlay p;
  EXPECT_EQ(p.play(macro({"m:100,100-1000", "m:200,200-1500", "m:clickl-3500"})),
            (Lines{"0 SetMousePos 100 100", "500 SetMousePos 200 200", "2500 LeftDown", "2500 LeftUp"}));
  EXPECT_EQ(p.host.playingMark, "");
}

TEST(Player, EveryLineKind) {
  SimPlay p;
  EXPECT_EQ(p.play(macro({"w:{a}-5000", "w:{b}-4000", "m:clickr-4000", "m:clickl-4000",
                          "q:1, 2-4100", "t:3, 4-4110", "u:5, 6-4120", "m:clickx-4120",
                          "M:9,9-4120", "w:{-}-4200", "w:{enter}--4200"})),
            (Lines{"0 SendKeyString nowait {a}", "1000 SendKeyString nowait {b}", "1000 RightDown",
                   "1000 RightUp", "1000 LeftDown", "1000 LeftUp", "1100 SetMousePos 1 2",
                   "1100 LeftDown", "1110 SetMousePos 3 4", "1120 SetMousePos 5 6", "1120 LeftUp",
                   "1120 SetMousePos 5 6", "1200 SendKeyString nowait {-}",
                   "9600 SendKeyString nowait {enter}"}));
}

TEST(Player, MovesTheCursorInTwoSteps) {
  SimPlay p;
  p.sim.moveCursor({500, 600});
  p.sim.traceCursor(true);
  p.module.SetMousePos(100, 200);
  EXPECT_EQ(p.sim.cursorTrace(), (std::vector<platform::Point>{{100, 600}, {100, 200}}));
}

TEST(Player, RepeatHeaderAndTheLastElement) {
  struct Case {
    std::string text;
    std::size_t actions;
  };
  const std::string two = "m:1,1-100\r\nm:2,2-300\r\n";
  for (const Case& c : {
           Case{"loop:3\r\n" + two, 6},
           Case{"LOOP:3\r\n" + two, 6},
           Case{"loop:1\r\n" + two, 2},
           Case{"loop:0\r\n" + two, 0},
           Case{"loop:-2\r\n" + two, 0},
           Case{"loop:abc\r\n" + two, 0},
           Case{two + "loop:3\r\n", 2},
           Case{"m:1,1-100\r\nm:2,2-300", 1},      // no CR LF after the last line
           Case{"m:1,1-100\nm:2,2-300\n", 0},      // LF alone separates nothing
       }) {
    SimPlay p;
    EXPECT_EQ(p.play(c.text).size(), c.actions) << c.text;
    EXPECT_EQ(p.host.playingMark, "");
  }
}

TEST(Player, EachPassStartsWithoutAPause) {
  SimPlay p;
  EXPECT_EQ(p.play("loop:2\r\nw:{a}-100\r\nw:{b}-400\r\n"),
            (Lines{"0 SendKeyString nowait {a}", "300 SendKeyString nowait {b}",
                   "300 SendKeyString nowait {a}", "600 SendKeyString nowait {b}"}));
}

TEST(Player, RepeatCountsBeyondSixteenBits) {
  SimPlay p;
  EXPECT_EQ(p.play("loop:40000\r\nm:clickl-1\r\n").size(), 80000u);
}

TEST(Player, RecordingAcrossTheTickCountWrapHasNoLongPause) {
  SimPlay p;
  EXPECT_EQ(p.play(macro({"m:1,1-2147483600", "m:2,2--2147483596"})),
            (Lines{"0 SetMousePos 1 1", "100 SetMousePos 2 2"}));
}

TEST(Player, StopEndsAtTheHeadOfTheNextLineAfterThePause) {
  SimPlay p;
  p.sim.loop().at(3000, [&] { p.host.stop = true; });
  EXPECT_EQ(p.play(macro({"w:{a}-0", "w:{b}-10000", "w:{c}-10001"})),
            (Lines{"0 SendKeyString nowait {a}", "10000 SendKeyString nowait {b}"}));
  EXPECT_TRUE(p.host.stop);
}

TEST(Player, StopReleasesTheButtonOfAnUnfinishedDrag) {
  SimPlay p;
  p.sim.loop().at(50, [&] { p.host.stop = true; });
  const Lines log = p.play(macro({"q:1, 1-0", "t:2, 2-100", "t:3, 3-200", "u:4, 4-300"}));
  EXPECT_EQ(log.back(), "100 LeftUp");
  EXPECT_FALSE(p.sim.buttonDown(platform::MouseButton::Left));
}

TEST(Player, NormalEndLeavesButtonsAsTheLinesLeftThem) {
  SimPlay p;
  p.play(macro({"q:1, 1-0", "t:2, 2-100"}));
  EXPECT_TRUE(p.sim.buttonDown(platform::MouseButton::Left));
}

TEST(Player, NothingMoreIsPlayedOnceTheProgramIsLeaving) {
  // Leaving in the middle of a pause ends the play there: the line waiting for it never acts.
  SimPlay p;
  p.sim.loop().at(3000, [&] { p.sim.loop().quit(); });
  EXPECT_EQ(p.play(macro({"w:{a}-0", "m:clickl-10000", "w:{c}-10001"})),
            (Lines{"0 SendKeyString nowait {a}"}));
  EXPECT_FALSE(p.sim.buttonDown(platform::MouseButton::Left));
}

TEST(Player, PausesBeyondAnyClockNeverComeDue) {
  // Stamps as far apart as 64 bits go: the pause is longer than the clock can count, so the
  // line waits (here until the simulated desktop's bound) instead of playing at once.
  for (const Lines& text : {
           Lines{"m:1,1-1000", "m:2,2-1", "m:3,3-9223372036854775807"},
           Lines{"m:1,1-1000", "m:2,2-1", "m:3,3--9223372036854775807"},
       }) {
    SimPlay p;
    const Lines log = p.play(macro(text));
    EXPECT_EQ(log, (Lines{"0 SetMousePos 1 1", "999 SetMousePos 2 2"})) << text.back();
  }
}

TEST(Player, MalformedKeyStringIsSkipped) {
  SimPlay p;
  EXPECT_EQ(p.play(macro({"w:{nosuch}-0", "w:{a}-100"})), (Lines{"100 SendKeyString nowait {a}"}));
}

TEST(Player, PausesDoNotDriftWhenActionsTakeTime) {
  // Every key string takes 7 ms to type here; the lines still run on their recorded times.
  SimPlay p;
  p.sim.setTypingTime(7);
  p.play(macro({"w:a-0", "w:b-10", "w:c-20", "w:d-30"}));
  EXPECT_EQ(p.logLines(), (Lines{"0 SendKeyString nowait a", "10 SendKeyString nowait b",
                                 "20 SendKeyString nowait c", "30 SendKeyString nowait d"}));
}

TEST(PlayAction, EmptyTextIsRefusedWithAMessage) {
  SimPlay p;
  p.host.stop = true;
  EXPECT_EQ(p.play(""), (Lines{"0 MessageBox Could you Please select or record a macro to play."}));
  EXPECT_EQ(p.sim.messages().at(0).title, "Quillbarrow 4.1");
  EXPECT_FALSE(p.host.stop);  // cleared as the first step
  EXPECT_EQ(p.host.playingMark, "");
}

TEST(PlayAction, MarksThePlayWhileItRuns) {
  SimPlay p;
  std::string markDuringPlay;
  p.sim.loop().at(50, [&] { markDuringPlay = p.host.playingMark; });
  p.play(macro({"m:1,1-0", "m:2,2-100"}));
  EXPECT_EQ(markDuringPlay, "ok");
  EXPECT_EQ(p.host.playingMark, "");
}

}  // namespace
}  // namespace qb
