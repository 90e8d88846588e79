// Cursor, buttons, typed keys and key state against a real X server.

#include <cstdlib>
#include <set>
#include <vector>

#include "platform/virtual_keys.h"
#include "script/send_keys.h"
#include "tests/x11/desktop_fixture.h"

namespace qb::x11test {
namespace {

namespace vk = platform::vk;
using platform::MouseButton;
using platform::Point;

// Sets the server's keymap to a layout, as a user would with setxkbmap.
void setLayout(const std::string& layout, const std::string& variant = "") {
  std::string command = "setxkbmap -display " + session().display() + " -layout " + layout;
  if (!variant.empty()) command += " -variant " + variant;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

class InputTest : public DesktopTest {
 protected:
  void TearDown() override {
    setLayout("us");
    DesktopTest::TearDown();
  }
  // Types a key string the way a play does and waits for the window to have `expected`.
  void typeInto(ProbeWindow& probe, const std::string& keys, const std::string& expected) {
    const ParsedKeys parsed = parseKeyString(keys);
    ASSERT_TRUE(parsed.ok()) << keys;
    EXPECT_TRUE(desktop().keys.send(*parsed, keys, true));
    EXPECT_TRUE(waitFor([&] { return probe.typed() == expected; })) << probe.typed();
  }
};

TEST_F(InputTest, CursorGoesWhereItIsSetAndReadsBack) {
  for (const Point p : {Point{0, 0}, Point{1279, 1023}, Point{640, 17}, Point{3, 900}}) {
    ASSERT_TRUE(desktop().cursor.setPosition(p));
    Point read;
    ASSERT_TRUE(desktop().cursor.position(read));
    EXPECT_EQ(read, p);
    const auto [x, y] = driver().pointer();  // another client sees it there too
    EXPECT_EQ((Point{x, y}), p);
  }
}

TEST_F(InputTest, ClicksReachTheWindowUnderTheCursor) {
  ProbeWindow probe(folder(), "Click target", {"--at", "200", "150"});
  ASSERT_TRUE(probe.waitFocused());
  const auto [x, y] = driver().toRoot(probe.window(), 40, 30);
  ASSERT_TRUE(desktop().cursor.setPosition({x, y}));
  ASSERT_TRUE(desktop().buttons.press(MouseButton::Left, true));
  ASSERT_TRUE(desktop().buttons.press(MouseButton::Left, false));
  ASSERT_TRUE(desktop().buttons.press(MouseButton::Right, true));
  ASSERT_TRUE(desktop().buttons.press(MouseButton::Right, false));
  ASSERT_TRUE(waitFor([&] { return probe.count("button-release") == 2; }));
  std::vector<std::string> clicks;
  for (const auto& e : probe.events())
    if (e.kind.rfind("button-", 0) == 0)
      clicks.push_back(e.kind + " " + e.fields[0] + " " + e.fields[1] + " " + e.fields[2]);
  const std::string at = std::to_string(x) + " " + std::to_string(y);
  EXPECT_EQ(clicks, (std::vector<std::string>{"button-press 1 " + at, "button-release 1 " + at,
                                              "button-press 3 " + at, "button-release 3 " + at}));
}

TEST_F(InputTest, TypesLettersShiftBracedKeysAndCharactersTheKeymapLacks) {
  ProbeWindow probe(folder(), "Typing target");
  ASSERT_TRUE(probe.waitFocused());
  const auto before = driver().keyboardMapping();
  typeInto(probe, "+hello W{ENTER}é€x", "Hello W\ré€x");
  EXPECT_EQ(probe.presses("Return"), 1u);
  // The keys bound for é and € were bound and unbound as one range of keys each time (the
  // server announces a change once per keyboard device).
  EXPECT_TRUE(waitFor([&] { return probe.count("mapping") >= 2; }));
  pump(50);
  std::set<std::string> ranges;
  for (const auto& e : probe.events())
    if (e.kind == "mapping") ranges.insert(e.fields[1] + "+" + e.fields[2]);
  EXPECT_EQ(ranges.size(), 1u);
  EXPECT_EQ(probe.count("mapping") % 2, 0u);
  EXPECT_EQ(driver().keyboardMapping(), before);
}

TEST_F(InputTest, CharactersOnOtherLevelsAndGroupsNeedNoRemapping) {
  // German: ß on a key of its own, € and @ behind AltGr; Russian as the second group: Ж, ж.
  setLayout("de,ru");
  ProbeWindow probe(folder(), "Layout target");
  ASSERT_TRUE(probe.waitFocused());
  const std::size_t mappings = probe.count("mapping");
  typeInto(probe, "ß€@Жжz", "ß€@Жжz");
  EXPECT_EQ(probe.count("mapping"), mappings);
  EXPECT_EQ(driver().lockedGroup(), 0) << "the first group is locked again";
}

TEST_F(InputTest, CapsLockChangesTypedLettersAsItChangesAPersonsTyping) {
  struct CapsCase {
    const char* name;
    bool lockedBefore;
    std::string keys;
    std::string expected;
    bool lockedAfter;
  };
  const std::vector<CapsCase> cases{
      {"already on", true, "aB1", "Ab1", true},
      {"turned on and off by the keys", false, "{CAPSLOCK}ab{CAPSLOCK}c", "ABc", false},
      {"turned on by the keys, Shift with it", false, "{CAPSLOCK}+ab", "aB", true},
      {"turned off by the keys", true, "a{CAPSLOCK}b", "Ab", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    driver().setCapsLock(c.lockedBefore);
    ProbeWindow probe(folder(), std::string("Caps ") + c.name);
    ASSERT_TRUE(probe.waitFocused());
    typeInto(probe, c.keys, c.expected);
    EXPECT_EQ(driver().capsLocked(), c.lockedAfter);
    driver().setCapsLock(false);
  }
}

TEST_F(InputTest, KeyStateTellsHeldKeysAndNewPresses) {
  driver().key("Control_L", true);
  driver().button(1, true);
  driver().sync();
  auto& keyState = desktop().keyState;
  EXPECT_EQ(keyState.asyncKeyState(vk::LControl), 0x8001);  // left Ctrl: newly pressed
  EXPECT_EQ(keyState.asyncKeyState(vk::LControl), 0x8000);  // still held
  EXPECT_EQ(keyState.asyncKeyState(vk::Control), 0x8001);   // Ctrl, either side
  EXPECT_EQ(keyState.asyncKeyState(vk::RControl), 0);       // right Ctrl is up
  EXPECT_EQ(keyState.asyncKeyState(vk::LButton), 0x8001);   // left button
  EXPECT_EQ(keyState.asyncKeyState(vk::RButton), 0);
  driver().key("Control_L", false);
  driver().button(1, false);
  driver().sync();
  EXPECT_EQ(keyState.asyncKeyState(vk::LControl), 0);
  EXPECT_EQ(keyState.asyncKeyState(vk::LButton), 0);
  driver().key("Control_L", true);
  driver().sync();
  EXPECT_EQ(keyState.asyncKeyState(vk::LControl), 0x8001) << "pressed again";
  driver().key("Control_L", false);
  driver().sync();
}

TEST_F(InputTest, KeyStateCountsAPressTheHookSawBetweenTwoQueries) {
  ASSERT_TRUE(desktop().hook.install([](const platform::HookKeyEvent&) { return false; }));
  driver().key("Shift_L", true);
  driver().sync();
  EXPECT_EQ(desktop().keyState.asyncKeyState(vk::LShift), 0x8001);
  // Released and pressed again between two queries.
  driver().key("Shift_L", false);
  driver().key("Shift_L", true);
  driver().sync();
  pump(50);
  EXPECT_EQ(desktop().keyState.asyncKeyState(vk::LShift), 0x8001);
  EXPECT_EQ(desktop().keyState.asyncKeyState(vk::LShift), 0x8000);
  driver().key("Shift_L", false);
  driver().sync();
}

TEST_F(InputTest, KeyStateCountsEveryButtonPressHoweverShort) {
  auto& keyState = desktop().keyState;
  const std::uint32_t left = keyState.buttonPresses(vk::LButton),
                      right = keyState.buttonPresses(vk::RButton);
  // A double click and a press of a few milliseconds, none of them seen by a query while held.
  for (int press = 0; press < 2; ++press) {
    driver().button(1, true);
    driver().button(1, false);
  }
  driver().button(3, true);
  driver().sync();
  pump(4);
  driver().button(3, false);
  driver().sync();
  pump(30);
  EXPECT_EQ(keyState.buttonPresses(vk::LButton) - left, 2u);
  EXPECT_EQ(keyState.buttonPresses(vk::RButton) - right, 1u);
  // Injected clicks count too, as they do for a person's program; a query changes nothing.
  driver().button(1, true, Source::Injected);
  driver().button(1, false, Source::Injected);
  driver().sync();
  pump(30);
  EXPECT_EQ(keyState.buttonPresses(vk::LButton) - left, 3u);
  EXPECT_EQ(keyState.buttonPresses(vk::LButton) - left, 3u);
  EXPECT_EQ(keyState.buttonPresses(vk::RButton) - right, 1u);
  // With the buttons swapped, the first physical button is the right one.
  driver().setLeftHanded(true);
  driver().button(1, true);
  driver().button(1, false);
  driver().sync();
  pump(30);
  EXPECT_EQ(keyState.buttonPresses(vk::LButton) - left, 3u);
  EXPECT_EQ(keyState.buttonPresses(vk::RButton) - right, 2u);
  driver().setLeftHanded(false);
}

}  // namespace
}  // namespace qb::x11test
