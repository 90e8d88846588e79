// The foreground window's title and activation by title through the window manager.

#include "tests/x11/desktop_fixture.h"

namespace qb::x11test {
namespace {

using WindowsTest = DesktopTest;

TEST_F(WindowsTest, ActivatesByExactTitleFirstThenByBeginning) {
  ProbeWindow gammaLong(folder(), "Gamma long");
  ASSERT_TRUE(gammaLong.waitFocused());
  ProbeWindow gamma(folder(), "Gamma");
  ASSERT_TRUE(gamma.waitFocused());
  ProbeWindow beta(folder(), "Beta window");
  ASSERT_TRUE(beta.waitFocused());
  auto& windows = desktop().windows;
  // The window manager announces the new active window shortly after giving it the focus.
  EXPECT_TRUE(waitFor([&] { return windows.foregroundTitle() == "Beta window"; }));

  struct Case {
    const char* request;
    const char* foreground;
  };
  for (const Case& c : {Case{"Gamma", "Gamma"}, Case{"Beta", "Beta window"},
                        Case{"Gamma l", "Gamma long"}, Case{"Beta window", "Beta window"}}) {
    EXPECT_TRUE(windows.activate(c.request)) << c.request;
    EXPECT_EQ(windows.foregroundTitle(), c.foreground) << c.request;
  }
  EXPECT_FALSE(windows.activate("Delta"));
  EXPECT_FALSE(windows.activate("beta")) << "titles are compared with their letter case";
  EXPECT_EQ(windows.foregroundTitle(), "Beta window");
  // The activated window has the keyboard: keys typed now go to it.
  ASSERT_TRUE(windows.activate("Gamma"));
  ASSERT_TRUE(waitFor([&] {
    const auto events = gamma.events();
    return !events.empty() && events.back().kind == "focus-in";
  }));
  driver().tap("q");
  ASSERT_TRUE(waitFor([&] { return gamma.presses("q") == 1; }));
  EXPECT_EQ(beta.presses("q"), 0u);
}

TEST_F(WindowsTest, ReadsUtf8TitlesFromEitherTitleProperty) {
  for (const bool wmNameOnly : {false, true}) {
    const std::string title = wmNameOnly ? "Fenêtre ancienne ☃" : "Fenêtre moderne ☃";
    ProbeWindow probe(
        folder(), title,
        wmNameOnly ? std::vector<std::string>{"--wm-name-only"} : std::vector<std::string>{});
    ASSERT_TRUE(probe.waitFocused());
    EXPECT_TRUE(waitFor([&] { return desktop().windows.foregroundTitle() == title; }))
        << desktop().windows.foregroundTitle();
    EXPECT_TRUE(desktop().windows.activate(title));
  }
}

}  // namespace
}  // namespace qb::x11test
