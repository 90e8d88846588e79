// The keyboard hook on a real X server: virtual keys and flags as a Windows low-level hook
// reports them, auto-repeat, and swallowing through grabs.

#include <cstdlib>
#include <set>
#include <vector>

#include "platform/virtual_keys.h"
#include "script/send_keys.h"
#include "tests/x11/desktop_fixture.h"

namespace qb::x11test {
namespace {

namespace vk = platform::vk;
using platform::HookKeyEvent;
using platform::SwallowableKey;

struct Seen {
  std::uint32_t vk;
  std::uint32_t flags;
  bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Seen& s) {
  return out << std::hex << "{0x" << s.vk << ", 0x" << s.flags << "}" << std::dec;
}

class KeyboardHookTest : public DesktopTest {
 protected:
  void SetUp() override {
    DesktopTest::SetUp();
    ASSERT_TRUE(desktop().hook.install([this](const HookKeyEvent& e) {
      events_.push_back(e);
      return swallow_.count(e.vkCode) != 0 && !(e.flags & platform::kHookInjected);
    })) << x11_->hook().error();
  }
  std::vector<Seen> seen() const {
    std::vector<Seen> out;
    for (const auto& e : events_) out.push_back({e.vkCode, e.flags});
    return out;
  }
  bool waitForEvents(std::size_t n) {
    return waitFor([&] { return events_.size() >= n; });
  }
  std::vector<HookKeyEvent> events_;
  std::set<std::uint32_t> swallow_;
};

struct KeyCase {
  const char* name;
  std::vector<std::pair<std::string, bool>> keys;  // pressed in order
  std::vector<Seen> expected;
};

TEST_F(KeyboardHookTest, ReportsVirtualKeysAndFlagsAsAWindowsHook) {
  const std::vector<KeyCase> cases{
      {"letter", {{"a", true}, {"a", false}}, {{'A', 0}, {'A', 0x80}}},
      {"right arrow", {{"Right", true}, {"Right", false}}, {{vk::Right, 0x01}, {vk::Right, 0x81}}},
      {"right Ctrl",
       {{"Control_R", true}, {"Control_R", false}},
       {{vk::RControl, 0x01}, {vk::RControl, 0x81}}},
      {"left Shift",
       {{"Shift_L", true}, {"Shift_L", false}},
       {{vk::LShift, 0}, {vk::LShift, 0x80}}},
      {"minus", {{"minus", true}, {"minus", false}}, {{vk::OemMinus, 0}, {vk::OemMinus, 0x80}}},
      {"Alt held",
       {{"Alt_L", true}, {"a", true}, {"a", false}, {"Alt_L", false}},
       {{vk::LMenu, 0x20}, {'A', 0x20}, {'A', 0xA0}, {vk::LMenu, 0x80}}},
      {"right Alt", {{"Alt_R", true}, {"Alt_R", false}}, {{vk::RMenu, 0x21}, {vk::RMenu, 0x81}}},
      {"keypad Enter and divide",
       {{"KP_Enter", true}, {"KP_Enter", false}, {"KP_Divide", true}, {"KP_Divide", false}},
       {{vk::Return, 0x01}, {vk::Return, 0x81}, {vk::Divide, 0x01}, {vk::Divide, 0x81}}},
      {"Home, keypad Home",
       {{"Home", true}, {"Home", false}, {"KP_Home", true}, {"KP_Home", false}},
       {{vk::Home, 0x01}, {vk::Home, 0x81}, {vk::Home, 0}, {vk::Home, 0x80}}},
      {"Num Lock turns keypad keys into digits",
       {{"Num_Lock", true},
        {"Num_Lock", false},
        {"KP_Home", true},
        {"KP_Home", false},
        {"Num_Lock", true},
        {"Num_Lock", false}},
       {{vk::NumLock, 0x01},
        {vk::NumLock, 0x81},
        {vk::Numpad7, 0},
        {vk::Numpad7, 0x80},
        {vk::NumLock, 0x01},
        {vk::NumLock, 0x81}}},
      {"Pause, and Break with Ctrl",
       {{"Pause", true},
        {"Pause", false},
        {"Control_L", true},
        {"Pause", true},
        {"Pause", false},
        {"Control_L", false}},
       {{vk::Pause, 0},
        {vk::Pause, 0x80},
        {vk::LControl, 0},
        {vk::Cancel, 0x01},
        {vk::Cancel, 0x81},
        {vk::LControl, 0x80}}},
      {"Print Screen, F5, Escape",
       {{"Print", true},
        {"Print", false},
        {"F5", true},
        {"F5", false},
        {"Escape", true},
        {"Escape", false}},
       {{vk::Snapshot, 0x01},
        {vk::Snapshot, 0x81},
        {vk::F5, 0},
        {vk::F5, 0x80},
        {vk::Escape, 0},
        {vk::Escape, 0x80}}},
  };
  for (const auto& c : cases) {
    events_.clear();
    for (const auto& [name, down] : c.keys) {
      ASSERT_NE(driver().keycode(name), 0) << c.name << ": " << name;
      driver().key(name, down);
    }
    EXPECT_TRUE(waitForEvents(c.expected.size())) << c.name;
    pump(30);
    EXPECT_EQ(seen(), c.expected) << c.name;
  }
}

TEST_F(KeyboardHookTest, ReportsScanCodesAndServerTimes) {
  const auto before = platform::tickCount(desktop().clock.now());
  driver().tap("a");
  driver().tap("Control_R");
  ASSERT_TRUE(waitForEvents(4));
  const auto after = platform::tickCount(desktop().clock.now());
  EXPECT_EQ(events_[0].scanCode, 0x1Eu);
  EXPECT_EQ(events_[2].scanCode, 0x1Du);
  // Event times are on the clock the program stamps its lines with.
  for (const auto& e : events_) {
    EXPECT_GE(static_cast<std::int32_t>(e.time), before);
    EXPECT_LE(static_cast<std::int32_t>(e.time), after);
  }
}

TEST_F(KeyboardHookTest, MarksInjectedInputAndOurOwnKeys) {
  driver().tap("a", Source::Injected);
  ASSERT_TRUE(waitForEvents(2));
  EXPECT_EQ(seen(), (std::vector<Seen>{{'A', 0x10}, {'A', 0x90}}));

  events_.clear();
  const auto keys = parseKeyString("b€");
  ASSERT_TRUE(keys);
  ASSERT_TRUE(desktop().keys.send(*keys, "b€", true));
  ASSERT_TRUE(waitForEvents(4));
  // A character typed on a key bound for the moment comes as Windows reports typed characters.
  EXPECT_EQ(seen(),
            (std::vector<Seen>{{'B', 0x10}, {'B', 0x90}, {vk::Packet, 0x10}, {vk::Packet, 0x90}}));
}

TEST_F(KeyboardHookTest, KeepsItsOwnSetOfKeysDown) {
  // The same key pressed on two devices: the second down is a repeat, the second release
  // of the key that is already up is not reported.
  const int a = driver().keycode("a");
  driver().key(a, true, Source::Physical);
  driver().key(a, true, Source::Injected);
  driver().key(a, false, Source::Physical);
  driver().key(a, false, Source::Injected);
  driver().tap("b");
  ASSERT_TRUE(waitForEvents(5));
  pump(30);
  EXPECT_EQ(seen(), (std::vector<Seen>{{'A', 0}, {'A', 0x10}, {'A', 0x80}, {'B', 0}, {'B', 0x80}}));
}

TEST_F(KeyboardHookTest, RepeatsAHeldKeyAtTheServersRate) {
  driver().setAutoRepeat(150, 30);
  driver().key("Shift_L", true);
  driver().key("a", true);
  pump(400);
  driver().key("a", false);
  driver().key("Shift_L", false);
  ASSERT_TRUE(waitFor([&] {
    return !events_.empty() && events_.back().vkCode == vk::LShift && (events_.back().flags & 0x80);
  }));
  const auto s = seen();
  ASSERT_GE(s.size(), 6u);
  EXPECT_EQ(s.front(), (Seen{vk::LShift, 0}));
  // Only the last key pressed repeats, with the down event's flags, until it is released.
  std::size_t repeats = 0;
  for (std::size_t i = 1; i + 2 < s.size(); ++i) {
    EXPECT_EQ(s[i], (Seen{'A', 0}));
    repeats += i > 1;
  }
  EXPECT_GE(repeats, 2u);
  EXPECT_EQ(s[s.size() - 2], (Seen{'A', 0x80}));
}

TEST_F(KeyboardHookTest, SwallowsAGrabbedCtrlRWhateverTheLockKeys) {
  swallow_ = {'R'};
  desktop().hook.setSwallowable({SwallowableKey{'R', true}});
  const int ctrl = driver().keycode("Control_L"), r = driver().keycode("r"),
            x = driver().keycode("x");
  const std::vector<std::vector<std::string>> lockStates{
      {}, {"Caps_Lock"}, {"Num_Lock"}, {"Caps_Lock", "Num_Lock"}};
  for (const auto& locks : lockStates) {
    SCOPED_TRACE(locks.size());
    ProbeWindow probe(folder(), "Swallow target");
    ASSERT_TRUE(probe.waitFocused());
    for (const auto& lock : locks) driver().tap(lock);
    driver().key(ctrl, true);
    driver().tap(r);
    driver().key(ctrl, false);
    driver().tap(x);
    for (const auto& lock : locks) driver().tap(lock);
    ASSERT_TRUE(waitFor([&] { return probe.presses("x") + probe.presses("X") == 1; }));
    pump(30);
    EXPECT_EQ(probe.presses("r") + probe.presses("R"), 0u);
    EXPECT_EQ(probe.presses("Control_L"), 1u);
  }
  const auto rDowns = [&] {
    int n = 0;
    for (const auto& e : events_) n += e.vkCode == 'R' && e.flags == 0;
    return n;
  };
  EXPECT_TRUE(waitFor([&] { return rDowns() == 4; })) << rDowns() << ": the hook hears every key";
}

TEST_F(KeyboardHookTest, SwallowsAGrabbedKeyWithShiftHeldToo) {
  // Shift leaves the hook's decision alone (Shift+F8 fires row 8), so it must not let the key
  // through to the window either.
  swallow_ = {vk::F8};
  desktop().hook.setSwallowable({SwallowableKey{vk::F8, false}});
  ProbeWindow probe(folder(), "Shift target");
  ASSERT_TRUE(probe.waitFocused());
  const int shift = driver().keycode("Shift_L");
  driver().key(shift, true);
  driver().tap("F8");
  driver().key(shift, false);
  driver().tap("x");
  ASSERT_TRUE(waitFor([&] { return probe.presses("x") == 1; }));
  pump(30);
  EXPECT_EQ(probe.presses("F8"), 0u);
  EXPECT_EQ(probe.presses("Shift_L"), 1u);
}

TEST_F(KeyboardHookTest, AGrabbedKeyThatIsPassedReachesTheWindow) {
  desktop().hook.setSwallowable({SwallowableKey{vk::F8, false}});  // not swallowed
  ProbeWindow probe(folder(), "Pass target");
  ASSERT_TRUE(probe.waitFocused());
  driver().tap("F8");
  ASSERT_TRUE(waitFor([&] { return probe.count("key-release") == 1; }));
  ASSERT_TRUE(waitForEvents(2));
  pump(30);
  EXPECT_EQ(probe.presses("F8"), 1u);
  EXPECT_EQ(seen(), (std::vector<Seen>{{vk::F8, 0}, {vk::F8, 0x80}}));
}

TEST_F(KeyboardHookTest, KeysTypedWhileASwallowedKeyIsHeldReachTheWindow) {
  swallow_ = {vk::F8};
  desktop().hook.setSwallowable({SwallowableKey{vk::F8, false}});
  ProbeWindow probe(folder(), "Held target");
  ASSERT_TRUE(probe.waitFocused());
  driver().key("F8", true);
  driver().tap("y");
  driver().key("F8", false);
  ASSERT_TRUE(waitFor([&] { return probe.presses("y") == 1; }));
  pump(30);
  EXPECT_EQ(probe.presses("F8"), 0u);
}

TEST_F(KeyboardHookTest, AHeldSwallowedKeyStaysSwallowedThroughItsAutoRepeats) {
  struct HeldCase {
    const char* name;
    SwallowableKey key;
    const char* keysym;
  };
  const std::vector<HeldCase> cases{
      {"Left Ctrl+R", {'R', true}, "r"},
      {"Left Ctrl+T", {'T', true}, "t"},
      {"F5 of a hot key row", {vk::F5, false}, "F5"},
  };
  // A delay well below the hold, at a rate like a keyboard's own.
  driver().setAutoRepeat(300, 40);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    events_.clear();
    swallow_ = {c.key.vkCode};
    desktop().hook.setSwallowable({c.key});
    ProbeWindow probe(folder(), std::string("Held ") + c.name);
    ASSERT_TRUE(probe.waitFocused());
    if (c.key.withLeftCtrl) driver().key("Control_L", true);
    driver().key(c.keysym, true);
    pump(2000);
    driver().key(c.keysym, false);
    if (c.key.withLeftCtrl) driver().key("Control_L", false);
    driver().tap("x");
    ASSERT_TRUE(waitFor([&] { return probe.presses("x") == 1; }));
    pump(30);
    EXPECT_EQ(probe.presses(c.keysym), 0u) << "auto-repeats leaked to the window";
    // The hook heard the key repeat all along, and the key is up again afterwards.
    std::size_t downs = 0;
    for (const auto& e : events_) downs += e.vkCode == c.key.vkCode && e.flags == 0;
    EXPECT_GE(downs, 10u);
    EXPECT_EQ(probe.typed(), "x") << "x arrived as typed, with nothing left held";
    EXPECT_EQ(desktop().keyState.asyncKeyState(static_cast<int>(c.key.vkCode)), 0);
    EXPECT_EQ(desktop().keyState.asyncKeyState(vk::LControl), 0);
  }
  driver().setAutoRepeat(660, 40);
}

TEST_F(KeyboardHookTest, OurOwnKeysAreNeverCaughtByTheGrabs) {
  swallow_ = {'R'};
  desktop().hook.setSwallowable({SwallowableKey{'R', true}});
  ProbeWindow probe(folder(), "Own keys target");
  ASSERT_TRUE(probe.waitFocused());
  const auto keys = parseKeyString("^r");
  ASSERT_TRUE(keys);
  ASSERT_TRUE(desktop().keys.send(*keys, "^r", true));
  ASSERT_TRUE(waitFor([&] { return probe.presses("r") == 1; }));
  // The grab is back afterwards.
  driver().key("Control_L", true);
  driver().tap("r");
  driver().key("Control_L", false);
  driver().tap("x");
  ASSERT_TRUE(waitFor([&] { return probe.presses("x") == 1; }));
  EXPECT_EQ(probe.presses("r"), 1u);
}

TEST_F(KeyboardHookTest, ReportsKeysAnotherClientHoldsAndGrabsTheRest) {
  driver().grabKey(driver().keycode("F9"), true);  // another program holds F9
  swallow_ = {vk::F10};
  desktop().hook.setSwallowable({SwallowableKey{vk::F9, false}, SwallowableKey{vk::F10, false}});
  EXPECT_EQ(x11_->hook().ungrabbable(), (std::vector<SwallowableKey>{{vk::F9, false}}));
  ProbeWindow probe(folder(), "Conflict target");
  ASSERT_TRUE(probe.waitFocused());
  driver().tap("F10");
  driver().tap("x");
  ASSERT_TRUE(waitFor([&] { return probe.presses("x") == 1; }));
  EXPECT_EQ(probe.presses("F10"), 0u);
  driver().grabKey(driver().keycode("F9"), false);
}

TEST_F(KeyboardHookTest, GrabsFollowAChangedKeymap) {
  swallow_ = {'R'};
  desktop().hook.setSwallowable({SwallowableKey{'R', true}});
  // Dvorak puts R where QWERTY has O.
  ASSERT_EQ(
      std::system(
          ("setxkbmap -display " + session().display() + " -layout us -variant dvorak").c_str()),
      0);
  pump(100);
  const int r = driver().keycode("r");
  ASSERT_NE(r, 27) << "r has moved from its QWERTY key";
  ProbeWindow probe(folder(), "Dvorak target");
  ASSERT_TRUE(probe.waitFocused());
  driver().key("Control_L", true);
  driver().tap(r);
  driver().key("Control_L", false);
  driver().tap("x");
  ASSERT_TRUE(waitFor([&] { return probe.presses("x") == 1; }));
  EXPECT_EQ(probe.presses("r"), 0u);
  ASSERT_EQ(std::system(("setxkbmap -display " + session().display() + " -layout us").c_str()), 0);
}

}  // namespace
}  // namespace qb::x11test
