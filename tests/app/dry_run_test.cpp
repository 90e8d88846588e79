#include "app/dry_run.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

std::string dryRun(const std::string& text, bool advanced, const std::vector<std::string>& args,
                   int expectedStatus = 0) {
  DryRunOptions options;
  std::vector<std::string> all = args;
  all.push_back("unused-file-name");
  EXPECT_FALSE(parseDryRunOptions(all, options));
  StringSink out;
  EXPECT_EQ(dryRunText(text, advanced, options, out), expectedStatus);
  return out.text();
}

TEST(DryRun, ExampleOfTheReadme) {
  EXPECT_EQ(dryRun("m:100,100-1000\r\nm:200,200-1500\r\nm:clickl-3500\r\n", false, {}),
            "0 SetMousePos 100 100\n500 SetMousePos 200 200\n2500 LeftDown\n2500 LeftUp\n");
}

TEST(DryRun, ScriptedWindowsAndStop) {
  EXPECT_EQ(dryRun("limitto:w:sw=Note\r\nactivate=Calc\r\nw:1+1~\r\n", true,
                   {"--foreground", "Shell", "--foreground-at", "700", "Notepad", "--window",
                    "Calculator"}),
            "700 Activate Calc\n700 SendKeyString wait 1+1~\n");
  EXPECT_EQ(dryRun("loop:infinite\r\nw:x\r\nwaiting=400\r\n", true, {"--stop-at", "1000"}),
            "0 SendKeyString wait x\n400 SendKeyString wait x\n800 SendKeyString wait x\n");
}

TEST(DryRun, EndlessPlaysEndAtTheBoundAndSaySo) {
  const std::string spin =
      dryRun("loop:infinite\r\nw:x\r\n", true, {"--max-idle-turns", "100000"}, 3);
  EXPECT_NE(spin.rfind("Ended at the bound: no virtual time passed"), std::string::npos)
      << spin.substr(spin.size() - 200);
  const std::string gate = dryRun("limitto:w:em=Never\r\nw:x\r\n", true, {"--max-ms", "60000"}, 3);
  EXPECT_EQ(gate, "60000 Ended at the bound: virtual time reached its bound of 60000 ms\n");
}

TEST(DryRun, OptionErrors) {
  DryRunOptions options;
  EXPECT_TRUE(parseDryRunOptions({"--dry-run"}, options));
  EXPECT_TRUE(parseDryRunOptions({"--dry-run", "a", "b"}, options));
  EXPECT_TRUE(parseDryRunOptions({"--stop-at", "soon", "a"}, options));
  EXPECT_TRUE(parseDryRunOptions({"--bogus", "a"}, options));
  DryRunOptions ok;
  EXPECT_FALSE(
      parseDryRunOptions({"Macro-AM-x.txt", "--window", "W", "--dry-run", "--recorded"}, ok));
  EXPECT_EQ(ok.file, "Macro-AM-x.txt");
  EXPECT_EQ(ok.advanced, false);
}

}  // namespace
}  // namespace qb
