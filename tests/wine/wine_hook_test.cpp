// The Win32 keyboard hook under Wine, with keys typed the way a person types them: through
// Xvfb's own keyboard (XTest on its physical device), never through the code under test. The
// hook runs in qb_win32_hook_agent, which prints what it sees; the probe window, a program of
// its own, logs what reaches it.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/x11/input_driver.h"
#include "tests/x11/x_session.h"
#include "wine_program.h"

namespace qb::winetest {
namespace {

using namespace std::chrono_literals;
using x11test::InputDriver;
using x11test::XSession;

struct Seen {
  unsigned vk = 0;
  unsigned flags = 0;
  bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
  return out << std::hex << "vk " << seen.vk << " flags " << seen.flags << std::dec;
}

class WineHook : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    session_ = XSession::start(&error);
    ASSERT_TRUE(session_) << error;
    ASSERT_TRUE(preparePrefix(&error)) << error;
    driver_ = std::make_unique<InputDriver>(session_->display());
    probeLog_ = session_->folder() + "/probe.log";
  }
  void TearDown() override {
    agent_.reset();
    probe_.reset();
    endWineServer();
  }

  // The probe in front, the agent's hook installed.
  void start(const std::string& swallow) {
    probe_ =
        std::make_unique<WineProgram>(session_->display(), "qb_win32_probe.exe",
                                      std::vector<std::string>{kTitle, windowsPath(probeLog_)});
    unsigned long window = 0;
    for (int i = 0; i < 300 && !window; ++i) {
      window = windowByTitle(session_->display(), kTitle);
      if (!window) std::this_thread::sleep_for(50ms);
    }
    ASSERT_NE(window, 0u) << "the probe window did not appear";
    driver_->activate(window);
    std::vector<std::string> args{"--seconds", "120"};
    if (!swallow.empty()) args.insert(args.end(), {"--swallow", swallow});
    agent_ = std::make_unique<WineProgram>(session_->display(), "qb_win32_hook_agent.exe", args);
    ASSERT_EQ(agent_->nextLine(30s), "ready");
  }

  // What the hook reported for the keys typed since the last call.
  std::vector<Seen> seen(std::size_t expected) {
    std::vector<Seen> events;
    while (events.size() < expected) {
      const auto line = agent_->nextLine(5s);
      if (!line) break;
      Seen event;
      std::istringstream(*line) >> std::hex >> event.vk >> event.flags;
      events.push_back(event);
    }
    return events;
  }

  std::string probeChars() {
    std::ifstream in(probeLog_);
    std::string line, chars;
    while (std::getline(in, line)) {
      double ms = 0;
      char name[32] = {};
      unsigned long long code = 0;
      if (std::sscanf(line.c_str(), "%lf %31s %llu", &ms, name, &code) == 3 &&
          std::string(name) == "char")
        chars += static_cast<char>(code);
    }
    return chars;
  }

  static constexpr const char* kTitle = "QB Wine Hook Probe";
  std::unique_ptr<XSession> session_;
  std::unique_ptr<InputDriver> driver_;
  std::unique_ptr<WineProgram> probe_, agent_;
  std::string probeLog_;
};

TEST_F(WineHook, TypedKeysArriveWithTheirVirtualKeysAndFlags) {
  start("");
  struct Case {
    const char* keysym;
    unsigned vk;
    unsigned flags;  // of the press; the release adds 0x80
  };
  for (const Case& c : {Case{"a", 0x41, 0}, Case{"Shift_L", 0xA0, 0}, Case{"Control_L", 0xA2, 0},
                        Case{"Control_R", 0xA3, 1}, Case{"Home", 0x24, 1}, Case{"End", 0x23, 1},
                        Case{"Left", 0x25, 1}, Case{"Right", 0x27, 1}, Case{"Up", 0x26, 1},
                        Case{"Down", 0x28, 1}, Case{"minus", 0xBD, 0}, Case{"Pause", 0x13, 0}}) {
    driver_->tap(c.keysym);
    EXPECT_EQ(seen(2), (std::vector<Seen>{{c.vk, c.flags}, {c.vk, c.flags | 0x80}})) << c.keysym;
  }
  // The Alt flag, which Wine leaves out, follows the Alt key.
  driver_->key("Alt_L", true);
  driver_->tap("d");
  driver_->key("Alt_L", false);
  EXPECT_EQ(seen(4), (std::vector<Seen>{{0xA4, 0x20}, {0x44, 0x20}, {0x44, 0xA0}, {0xA4, 0x80}}));
}

TEST_F(WineHook, SwallowedKeysNeverReachTheWindowInFront) {
  start("51");  // Q
  for (const char* key : {"w", "q", "e"}) driver_->tap(key);
  EXPECT_EQ(seen(6).size(), 6u);
  // The probe has what reached it once the "e" is in.
  for (int i = 0; i < 100 && probeChars().find('e') == std::string::npos; ++i)
    std::this_thread::sleep_for(20ms);
  EXPECT_EQ(probeChars(), "we");
}

}  // namespace
}  // namespace qb::winetest
