#include "tests/x11/x11_test_env.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <memory>

namespace qb::x11test {
namespace {

std::unique_ptr<XSession> gSession;
std::unique_ptr<QApplication> gApp;
// The arguments the test program's QApplication is made with; a test reads them back.
int gArgc = 3;
char gArg0[] = "qb_x11_tests";
char gArg1[] = "--dry-run";
char gArg2[] = "two words";
char* gArgv[] = {gArg0, gArg1, gArg2, nullptr};

class Environment : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string error;
    gSession = XSession::start(&error);
    if (!gSession) {
      std::fprintf(stderr, "cannot start the X session: %s\n", error.c_str());
      std::exit(1);
    }
    setenv("DISPLAY", gSession->display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    gApp = std::make_unique<QApplication>(gArgc, gArgv);
  }
  void TearDown() override {
    gApp.reset();
    gSession.reset();
  }
};

}  // namespace

XSession& session() {
  return *gSession;
}

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() >= timeoutMs) return done();
    QTimer tick;
    tick.setSingleShot(true);
    tick.start(5);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

void pump(int ms) {
  waitFor([] { return false; }, ms);
}

}  // namespace qb::x11test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new qb::x11test::Environment);
  return RUN_ALL_TESTS();
}
