#include "platform/sim/sim_event_loop.h"

#include <gtest/gtest.h>

#include <functional>

namespace qb::platform::sim {
namespace {

// How a loop ends, why, and the words the dry runs print for it.
TEST(SimEventLoop, QuitReasons) {
  struct Case {
    const char* what;
    std::function<void(SimEventLoop&)> run;
    QuitReason reason;
    std::string text;
  };
  const auto endlessTicks = [](SimEventLoop& loop) {
    loop.startTimer(100, [] {});
    loop.waitUntil(1'000'000);
  };
  const Case cases[] = {
      {"still running", [](SimEventLoop& loop) { loop.waitUntil(500); }, QuitReason::None, ""},
      {"the program leaves",
       [](SimEventLoop& loop) {
         loop.at(300, [&loop] { loop.quit(); });
         loop.waitUntil(1000);
       },
       QuitReason::ProgramLeft, "the program is leaving"},
      {"an endless wait", endlessTicks, QuitReason::TimeBound,
       "virtual time reached its bound of 5000 ms"},
      {"a busy loop without time passing",
       [](SimEventLoop& loop) {
         while (!loop.quitting()) loop.yield();
       },
       QuitReason::IdleBound, "no virtual time passed in 50 turns of the event loop"},
      {"a modal window nothing closes",
       [](SimEventLoop& loop) { loop.runModal([] { return true; }); }, QuitReason::ModalLeftOpen,
       "a modal window stayed open with nothing left to close it"},
      {"a modal window the steps never close",
       [](SimEventLoop& loop) {
         int steps = 2;
         loop.setModalPump([&steps] { return steps-- > 0; });
         loop.runModal([] { return true; });
       },
       QuitReason::ModalWithoutStep, "a modal window stayed open with no step left to close it"},
      {"the first reason stays",
       [endlessTicks](SimEventLoop& loop) {
         endlessTicks(loop);
         loop.quit();
       },
       QuitReason::TimeBound, "virtual time reached its bound of 5000 ms"},
  };
  for (const Case& c : cases) {
    SimEventLoop loop;
    loop.setBounds(5000, 50);
    c.run(loop);
    EXPECT_EQ(loop.quitReason(), c.reason) << c.what;
    EXPECT_EQ(loop.quitting(), c.reason != QuitReason::None) << c.what;
    EXPECT_EQ(loop.quitReasonText(), c.text) << c.what;
  }
}

}  // namespace
}  // namespace qb::platform::sim
