#include "record/mouse_capture.h"

#include <gtest/gtest.h>

#include "platform/virtual_keys.h"
#include "support/sim_play.h"
#include "support/sim_program.h"

namespace qb {
namespace {

namespace vk = platform::vk;
using test::SimProgram;
using Lines = std::vector<std::string>;

using test::macro;

// Recording starts at 0, so the samplers tick at 10, 20, 30, ...; `script` runs at the
// virtual times given, between the ticks.
struct Step {
  platform::Ms at;
  std::function<void(SimProgram&)> act;
};

std::string record(SimProgram& p, const std::vector<Step>& script, platform::Ms until) {
  for (const Step& s : script) p.sim.loop().at(s.at, [&p, act = s.act] { act(p); });
  p.form().Command1.click();
  p.sim.loop().runUntil(until);
  return p.text();
}

auto moveTo(int x, int y) {
  return [x, y](SimProgram& p) { p.sim.moveCursor({x, y}); };
}
auto button(int vk, bool down) {
  return [vk, down](SimProgram& p) { p.sim.setPhysicalKey(vk, down); };
}

TEST(MouseCapture, PositionLines) {
  SimProgram p;
  const std::string text = record(p,
                                  {{5, moveTo(512, 384)},
                                   {35, moveTo(166, 300)},
                                   {45, moveTo(300, 466)},
                                   {55, moveTo(167, 300)},
                                   {65, moveTo(-5, 384)},
                                   {75, moveTo(512, -12)},
                                   {85, moveTo(-1666, -366)}},
                                  95);
  // Positions ending in 66 are recorded like any other; x keeps its minus sign.
  EXPECT_EQ(text, macro({"m:512, 384-10", "m:166, 300-40", "m:300, 466-50", "m:167, 300-60",
                         "m:-5, 384-70", "m:512,-12-80", "m:-1666,-366-90"}));
  EXPECT_EQ(p.form().Text1.selectionStart(), text.size());
}

TEST(MouseCapture, NegativePositionsPlayBackWhereTheyWereMade) {
  SimProgram p;
  record(p, {{5, moveTo(-5, 384)}, {15, moveTo(-300, -20)}}, 25);
  p.form().Command5.click();
  p.sim.log().clear();
  p.form().Command2.click();
  EXPECT_EQ(p.actions(), (Lines{"25 SetMousePos -5 384", "35 SetMousePos -300 -20"}));
}

TEST(MouseCapture, Clicks) {
  struct Case {
    const char* what;
    bool dragging;
    std::vector<Step> script;
    Lines lines;
  };
  const Case cases[] = {
      {"left press held 200 ms",
       false,
       {{15, button(vk::LButton, true)}, {215, button(vk::LButton, false)}},
       // No position while held; after the release the position again, though unmoved.
       {"m:100, 100-10", "m:clickl-20", "m:100, 100-220"}},
      // A press is a click at the first tick after it.
      {"right click",
       false,
       {{15, button(vk::RButton, true)}, {45, button(vk::RButton, false)}},
       {"m:100, 100-10", "m:clickr-20"}},
      {"press of 4 ms between two ticks",
       false,
       {{12, button(vk::LButton, true)}, {16, button(vk::LButton, false)}},
       {"m:100, 100-10", "m:clickl-20"}},
      {"double click: two 70 ms presses 80 ms apart",
       false,
       {{15, button(vk::LButton, true)},
        {85, button(vk::LButton, false)},
        {165, button(vk::LButton, true)},
        {235, button(vk::LButton, false)}},
       {"m:100, 100-10", "m:clickl-20", "m:100, 100-90", "m:clickl-170", "m:100, 100-240"}},
      {"two presses within one tick",
       false,
       {{11, button(vk::LButton, true)},
        {13, button(vk::LButton, false)},
        {15, button(vk::LButton, true)},
        {17, button(vk::LButton, false)}},
       {"m:100, 100-10", "m:clickl-20", "m:clickl-20"}},
      {"press and drag",
       true,
       {{15, button(vk::LButton, true)},
        {45, moveTo(110, 100)},
        {75, moveTo(120, 100)},
        {95, button(vk::LButton, false)}},
       {"m:100, 100-10", "m:clickl-20", "t:100, 100-30", "t:110, 100-50", "t:120, 100-80",
        "m:120, 100-100"}},
      {"second press 50 ms after the first, first seen held by the move sampler",
       false,
       {{15, button(vk::LButton, true)},
        {35, button(vk::LButton, false)},
        {65, button(vk::LButton, true)},
        {85, button(vk::LButton, false)},
        {305, button(vk::LButton, true)},
        {315, button(vk::LButton, false)}},
       {"m:100, 100-10", "m:clickl-20", "m:100, 100-40", "m:clickl-70", "m:100, 100-90",
        "m:clickl-310"}},
      {"right pressed while the left is held",
       false,
       {{15, button(vk::LButton, true)},
        {55, button(vk::RButton, true)},
        {85, button(vk::RButton, false)},
        {95, button(vk::LButton, false)}},
       {"m:100, 100-10", "m:clickl-20", "m:clickr-60", "m:100, 100-100"}},
      {"right pressed while the left is held, its first state seen by another program",
       false,
       {{15, button(vk::LButton, true)},
        {55,
         [](SimProgram& p) {
           p.sim.setPhysicalKey(vk::RButton, true);
           p.sim.asyncKeyState(vk::RButton);
         }},
        {85, button(vk::RButton, false)},
        {95, button(vk::LButton, false)}},
       {"m:100, 100-10", "m:clickl-20", "m:clickr-60", "m:100, 100-100"}},

  };
  for (const Case& c : cases) {
    SimProgram p;
    p.sim.moveCursor({100, 100});
    p.form().Check1.setValue(c.dragging ? 1 : 0);
    EXPECT_EQ(record(p, c.script, 400), macro(c.lines)) << c.what;
  }
}

TEST(MouseCapture, APressMadeBeforeRecordIsNoClick) {
  SimProgram p;
  p.sim.moveCursor({100, 100});
  p.sim.setPhysicalKey(vk::LButton, true);  // the press on the Record button itself
  EXPECT_EQ(record(p, {{25, button(vk::LButton, false)}}, 40),
            macro({"m:100, 100-10", "m:100, 100-30"}));
}

TEST(MouseCapture, APressHeldThroughABusyMomentIsOneClick) {
  SimProgram p;
  MouseCapture& mouse = p.program.mouse;
  p.sim.loop().runUntil(1000);
  mouse.startClicks();
  p.sim.setPhysicalKey(vk::LButton, true);
  p.sim.asyncKeyState(vk::LButton);  // the move sampler saw the press first
  // The sampler is held up for 150 ms while the button stays down.
  for (const platform::Ms at : {1000, 1010, 1160, 1170, 1180}) {
    p.sim.loop().runUntil(at);
    mouse.clickTick();
  }
  p.sim.setPhysicalKey(vk::LButton, false);
  p.sim.loop().runUntil(1190);
  mouse.clickTick();
  EXPECT_EQ(p.text(), macro({"m:clickl-1000"}));
}

TEST(MouseCapture, DragRecordedAndStoppedPlaysAsOneDrag) {
  SimProgram p;
  p.sim.moveCursor({100, 100});
  p.form().Check1.setValue(1);
  record(p,
         {{15, button(vk::LButton, true)},
          {25, moveTo(110, 100)},
          {35, moveTo(120, 105)},
          {45, button(vk::LButton, false)},
          {55, moveTo(300, 300)}},
         65);
  p.form().Command5.click();
  // The press's click line goes; the first and last drag steps press and release.
  EXPECT_EQ(p.text(), macro({"m:100, 100-10", "q:110, 100-30", "u:120, 105-40", "m:120, 105-50",
                             "m:300, 300-60"}));
  p.sim.log().clear();
  p.form().Command2.click();
  EXPECT_EQ(p.actions(), (Lines{"65 SetMousePos 100 100", "85 SetMousePos 110 100", "85 LeftDown",
                                "95 SetMousePos 120 105", "95 LeftUp", "105 SetMousePos 120 105",
                                "115 SetMousePos 300 300"}));
}

}  // namespace
}  // namespace qb
