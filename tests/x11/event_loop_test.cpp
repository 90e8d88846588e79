// The event loop on Qt's: waits that deliver events and end on time, posted tasks, timers,
// modal loops and quitting.

#include <QTimer>

#include "tests/x11/desktop_fixture.h"

namespace qb::x11test {
namespace {

using platform::Ms;
using EventLoopTest = DesktopTest;

TEST_F(EventLoopTest, WaitsEndAtTheirDeadlineAndDeliverEventsMeanwhile) {
  auto& loop = desktop().loop;
  auto& clock = desktop().clock;
  for (const Ms pause : {0, 1, 2, 15, 120}) {
    bool delivered = false;
    QTimer::singleShot(0, [&] { delivered = true; });
    const Ms start = clock.now();
    loop.waitUntil(start + pause);
    const Ms end = clock.now();
    EXPECT_GE(end, start + pause) << pause;
    EXPECT_TRUE(delivered || pause == 0) << pause;
  }
  // A deadline in the past returns at once.
  const Ms start = clock.now();
  loop.waitUntil(start - 1000);
  EXPECT_LT(clock.now() - start, 50);
}

TEST_F(EventLoopTest, PostedTasksRunAfterTheHandlerInPostingOrder) {
  auto& loop = desktop().loop;
  std::vector<int> order;
  loop.post([&] {
    order.push_back(1);
    loop.post([&] { order.push_back(3); });
  });
  loop.post([&] { order.push_back(2); });
  EXPECT_TRUE(order.empty());
  ASSERT_TRUE(waitFor([&] { return order.size() == 3; }));
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(EventLoopTest, TimersTickWithoutReenteringAndStopFromTheirOwnTick) {
  auto& loop = desktop().loop;
  int ticks = 0;
  int depth = 0, deepest = 0;
  platform::TimerId id = 0;
  id = loop.startTimer(5, [&] {
    ++ticks;
    deepest = std::max(deepest, ++depth);
    loop.waitUntil(desktop().clock.now() + 20);  // longer than the interval
    --depth;
    if (ticks == 3) loop.stopTimer(id);
  });
  loop.waitUntil(desktop().clock.now() + 300);
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(deepest, 1);
}

TEST_F(EventLoopTest, ModalLoopsTurnUntilClosedAndQuittingEndsWaits) {
  auto& loop = desktop().loop;
  bool open = true;
  loop.startTimer(10, [&] { open = false; });
  loop.runModal([&] { return open; });
  EXPECT_FALSE(open);

  QTimer::singleShot(20, [&] { loop.quit(); });
  const Ms start = desktop().clock.now();
  loop.waitUntil(start + 60'000);
  EXPECT_TRUE(loop.quitting());
  EXPECT_LT(desktop().clock.now() - start, 30'000);
}

}  // namespace
}  // namespace qb::x11test
