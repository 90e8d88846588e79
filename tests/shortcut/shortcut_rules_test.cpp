// Which special folders the shortcut maker offers depends on the platform, so it is checked
// here for each; the window itself is driven by the kestrip_* scenarios.

#include "shortcut/shortcut_rules.h"

#include <gtest/gtest.h>

namespace qb::test {
namespace {

TEST(ShortcutLocations, EachFolderOnceInTheDesktopsOrderAndOnWindowsOnlyDesktopAndStartMenu) {
  const std::vector<std::string> folders{"/home/u/Desktop",
                                         "/home/u/Schreibtisch",
                                         "C:\\Users\\u\\Start Menu\\Programs",
                                         "/home/u/.local/share/applications",
                                         "/home/u/Desktop",
                                         "/home/u/desktop"};
#ifdef _WIN32
  const std::vector<std::string> offered{"/home/u/Desktop", "C:\\Users\\u\\Start Menu\\Programs",
                                         "/home/u/desktop"};
#else
  // A freedesktop system's folder names may be translated: all of them, duplicates once.
  const std::vector<std::string> offered{"/home/u/Desktop", "/home/u/Schreibtisch",
                                         "C:\\Users\\u\\Start Menu\\Programs",
                                         "/home/u/.local/share/applications", "/home/u/desktop"};
#endif
  EXPECT_EQ(shortcutLocations(folders), offered);
}

}  // namespace
}  // namespace qb::test
