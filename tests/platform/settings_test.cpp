#include "platform/settings.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

namespace qb {
namespace {

TEST(Settings, NumbersReadWithDefaultsForAbsentOrDamagedValues) {
  platform::sim::SimDesktop sim;
  Settings settings(sim.desktop());
  struct Case {
    const char* stored;
    std::int16_t asInt;
    double asNumber;
  };
  for (const Case& c : {Case{nullptr, 7, 7}, Case{"1", 1, 1}, Case{" 2 ", 2, 2}, Case{"yes", 7, 7},
                        Case{"1.5", 2, 1.5}, Case{"99999", 7, 99999}, Case{"", 7, 7}}) {
    if (c.stored) {
      EXPECT_TRUE(sim.settings().write("Options", "OnTop", c.stored));
    }
    EXPECT_EQ(settings.getInt16("options", "ontop", 7), c.asInt)
        << (c.stored ? c.stored : "absent");
    EXPECT_EQ(settings.getNumber("OPTIONS", "OnTop", 7), c.asNumber)
        << (c.stored ? c.stored : "absent");
  }
}

TEST(Settings, CheckStatesOutsideTheBoxsOwnReadAsClear) {
  platform::sim::SimDesktop sim;
  Settings settings(sim.desktop());
  for (const auto& [stored, state] : std::vector<std::pair<const char*, int>>{
           {"0", 0}, {"1", 1}, {"2", 2}, {"5", 0}, {"-1", 0}, {"x", 0}}) {
    EXPECT_TRUE(sim.settings().write("Hotkeys", "Check1-3", stored));
    EXPECT_EQ(settings.getCheckState("hotkeys", "check1-3"), state) << stored;
  }
}

TEST(Settings, AStoreThatCannotBeWrittenIsSaidOnce) {
  platform::sim::SimDesktop sim;
  Settings settings(sim.desktop());
  sim.settings().failWrites(true);
  EXPECT_FALSE(settings.put("Options", "c1", "1"));
  EXPECT_FALSE(settings.put("Options", "c1", "0"));
  ASSERT_EQ(sim.messages().size(), 1u);
  EXPECT_NE(sim.messages()[0].text.find("not writable"), std::string::npos);
}

}  // namespace
}  // namespace qb
