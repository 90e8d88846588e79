#pragma once
// The Windows programs under Wine, used as a person uses them: a private Xvfb with openbox,
// the programs copied into a folder of their own (where they keep their macros), keys and
// clicks through Xvfb's own keyboard and mouse, what they show read by the inspector, and
// pictures of their windows cut from the X server's framebuffer by a process of its own.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "inspector.h"
#include "tests/x11/input_driver.h"
#include "tests/x11/x_session.h"
#include "wine_program.h"

namespace qb::winetest {

// The characters of a probe's "char" log lines, in order.
std::string charsOf(const std::vector<std::string>& charEvents);
// A macro's lines without their time stamps and line breaks, empty lines left out.
std::vector<std::string> macroLinesOf(const std::string& text);

class WineAppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The folder the programs run from (a Unix path), and a file there.
  const std::string& appFolder() const { return appFolder_; }
  std::string inApp(const std::string& name) const { return appFolder_ + "/" + name; }
  // Starts a program of the folder ("Daventi.exe") and waits for its window titled `title`.
  WineProgram& start(const std::string& program, const std::vector<std::string>& args,
                     const std::string& title);
  // The probe window (an edit field logging what reaches it), in front.
  void startProbe(const std::string& title);
  std::string probeChars();
  // The probe's log lines of one message name ("ldown", "char", ...).
  std::vector<std::string> probeEvents(const std::string& name);

  void clickAt(int x, int y, unsigned button = 1);
  void click(const NativeControl& control) { clickAt(control.centerX(), control.centerY()); }
  // Clicks the control of `window` showing `text`; fails the test when there is none.
  void click(unsigned long long window, const std::string& text);
  void moveTo(int x, int y);
  void tap(const std::string& keysym);
  void chord(const std::vector<std::string>& modifiers, const std::string& keysym);
  // Types ASCII text on the US keyboard, Shift where a character needs it.
  void type(const std::string& text);
  // Brings a window to the front as a task bar does.
  void activate(const TopWindow& window);

  static bool waitFor(const std::function<bool()>& done,
                      std::chrono::milliseconds wait = std::chrono::seconds(10));
  // Saves a picture of a window from the framebuffer and checks what is on the screen: more
  // than one colour, and ink inside every visible control that has text.
  void screenshot(const TopWindow& window, const std::string& name);

  x11test::InputDriver& driver() { return *driver_; }
  Inspector& inspector() { return *inspector_; }
  const std::string& display() const { return session_->display(); }
  const std::string& sessionFolder() const { return session_->folder(); }

  std::unique_ptr<x11test::XSession> session_;
  std::unique_ptr<x11test::InputDriver> driver_;
  std::unique_ptr<Inspector> inspector_;
  std::vector<std::unique_ptr<WineProgram>> programs_;
  std::string appFolder_;
  std::string probeLog_;
};

}  // namespace qb::winetest
