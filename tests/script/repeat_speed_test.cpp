#include "script/repeat_speed.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/file_io.h"
#include "support/sim_play.h"

namespace qb {
namespace {

using test::macro;

TEST(Speed, ScalesEveryStampByTheFactor) {
  const std::string text = macro({"m:10,10-1000", "m:20,20-3000"});
  EXPECT_EQ(withScaledTimeStamps(text, speedFactor(50, false)),
            macro({"m:10,10-500", "m:20,20-1500"}));
  EXPECT_EQ(withScaledTimeStamps(text, speedFactor(50, true)),
            macro({"m:10,10-1500", "m:20,20-4500"}));
  EXPECT_EQ(withScaledTimeStamps(text, speedFactor(0, false)), macro({"m:10,10-0", "m:20,20-0"}));
}

TEST(Speed, KeepsTheMinusKeyNegativeCoordinatesAndSigns) {
  EXPECT_EQ(
      withScaledTimeStamps(
          macro({"w:{-}-1000", "w:{enter}--2000", "m:5,-12-3000", "m:clickl-4001"}), 0.5),
      macro({"w:{-}-500", "w:{enter}--1000", "m:5,-12-1500", "m:clickl-2000"}));  // 2000.5 -> 2000
  EXPECT_EQ(withScaledTimeStamps(macro({"w:a-3"}), 0.5),
            macro({"w:a-2"}));  // 1.5 -> 2, halves to even
}

TEST(Speed, DropsTheHeaderAndLinesWithoutMinusKeepsUnreadableOnes) {
  EXPECT_EQ(withScaledTimeStamps("loop:3\r\nm:1,1-100\r\nabc-xyz\r\n\r\nlast-5", 2.0),
            macro({"m:1,1-200", "abc-xyz"}));
}

TEST(Speed, RecordingAcrossTheWrapStaysContinuous) {
  // 2147483600 -> -2147483596 is 100 ms of tick count; doubled it is 200 ms, not 49 days.
  const std::string scaled =
      withScaledTimeStamps(macro({"m:1,1-2147483600", "m:2,2--2147483596"}), 2.0);
  EXPECT_EQ(scaled, macro({"m:1,1-4294967200", "m:2,2-4294967400"}));
  test::SimPlay p;
  EXPECT_EQ(p.play(scaled), (std::vector<std::string>{"0 SetMousePos 1 1", "200 SetMousePos 2 2"}));
}

TEST(Repeat, PutsAHeaderInFrontAndKeepsTheOldOne) {
  const std::string once = withRepeatHeader(macro({"m:1,1-1"}), " 3 ");
  EXPECT_EQ(once, macro({"loop:3", "m:1,1-1"}));
  const std::string twice = withRepeatHeader(once, "5");
  EXPECT_EQ(twice, macro({"loop:5", "loop:3", "m:1,1-1"}));
  test::SimPlay p;
  EXPECT_EQ(p.play(twice).size(), 5u);  // five passes of the one move
}

TEST(RewriteFile, ReplacesTheFileThroughATemporaryOne) {
  const auto dir = std::filesystem::temp_directory_path() / "qb-rewrite-test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "Macro-a.txt").string();
  std::ofstream(path, std::ios::binary) << "m:10,10-1000\r\n\r\n";
  ASSERT_TRUE(rewriteMacroFile(path, [](std::string_view t) { return withRepeatHeader(t, "2"); }));
  EXPECT_EQ(*readWholeFile(path), "loop:2\r\nm:10,10-1000\r\n\r\n\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);  // no temporary left

  const auto missing = rewriteMacroFile((dir / "Macro-gone.txt").string(),
                                        [](std::string_view t) { return std::string(t); });
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.message().find("Macro-gone.txt"), std::string::npos);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qb
