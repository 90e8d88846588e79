#include "platform/ini_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/file_io.h"

namespace qb::platform {
namespace {

TEST(IniSettings, CaseInsensitiveNamesEscapedValuesAndAFileThatReadsBack) {
  const auto dir = std::filesystem::temp_directory_path() / "qb-ini-test";
  std::filesystem::remove_all(dir);
  const std::string path = (dir / "sub" / "settings.ini").string();
  {
    IniSettings store(path);
    EXPECT_FALSE(store.read("Options", "Location"));
    ASSERT_TRUE(store.write("Hotkeys", "check1-3", "1"));
    ASSERT_TRUE(store.write("Options", "Location", "  C:\\Macros  "));
    ASSERT_TRUE(store.write("hotkeys", "text1-3", "line\r\nbreak=x"));
    ASSERT_TRUE(store.write("HOTKEYS", "CHECK1-3", "0"));
  }
  IniSettings reread(path);
  EXPECT_EQ(reread.read("Hotkeys", "Check1-3"), "0");
  EXPECT_EQ(reread.read("OPTIONS", "location"), "  C:\\Macros  ");
  EXPECT_EQ(reread.read("Hotkeys", "text1-3"), "line\r\nbreak=x");
  EXPECT_EQ(
      *readWholeFile(path),
      "[Hotkeys]\ncheck1-3=0\ntext1-3=line\\r\\nbreak=x\n\n[Options]\nLocation=  C:\\\\Macros  \n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "sub"), {}), 1);
  std::filesystem::remove_all(dir);
}

TEST(IniSettings, UnwritablePlaceSaysWhy) {
  IniSettings store("/proc/qb-no-such-place/settings.ini");
  const auto written = store.write("Options", "c1", "1");
  ASSERT_FALSE(written);
  EXPECT_NE(written.message().find("settings.ini"), std::string::npos);
}

}  // namespace
}  // namespace qb::platform
