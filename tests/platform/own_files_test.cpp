#include "platform/own_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "common/file_io.h"
#include "platform/sim/sim_desktop.h"
#include "tests/support/sim_program.h"

namespace qb {
namespace {

TEST(OwnFiles, NewFilesGoBesideTheProgramOrElseToTheUsersOwnFolder) {
  test::TempFolder temp;
  platform::sim::SimDesktop sim;
  const std::string prog = temp.pathOf("prog"), data = temp.pathOf("data/quillbarrow");
  std::filesystem::create_directories(prog);
  sim.setExecutablePath(prog + "/daventi");
  sim.setUserDataFolder(data);
  // A copy the user unpacked: its own folder.
  EXPECT_EQ(writableFolder(sim, kMacroSubfolder), prog);
  EXPECT_FALSE(std::filesystem::exists(data));

  // A folder the user cannot make files in (here: one that is gone): the user's folder, made.
  sim.setExecutablePath(temp.pathOf("system/prog/daventi"));
  EXPECT_EQ(writableFolder(sim, kMacroSubfolder), joinPath(data, "macros"));
  EXPECT_TRUE(canWriteIn(joinPath(data, "macros")));
  EXPECT_EQ(writableFolder(sim, kProgramSubfolder), joinPath(data, "programs"));

  // Neither: the own folder, so the failure that follows names it.
  sim.setUserDataFolder("");
  EXPECT_EQ(writableFolder(sim, kMacroSubfolder), temp.pathOf("system/prog"));
  // The probe leaves nothing behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(prog), {}), 0);
}

TEST(SessionLimits, AreSaidOnceAtTheFirstStartAndNeverWhereThereAreNone) {
  for (const bool limited : {true, false}) {
    std::optional<std::string> shown;
    const auto prepare = [&](platform::sim::SimDesktop& sim) {
      if (limited) sim.setSessionLimits("Only X11 applications are reached.");
      if (shown) {
        EXPECT_TRUE(sim.settings().write("Options", "SessionLimitsShown", *shown));
      }
    };
    test::SimProgram first(prepare);
    first.sim.loop().runUntil(first.sim.loop().now() + 10);
    ASSERT_EQ(first.sim.messages().size(), limited ? 1u : 0u);
    if (limited) {
      EXPECT_EQ(first.sim.messages()[0].text, "Only X11 applications are reached.");
    }
    // The next start, with what the first one stored, says nothing.
    shown = first.sim.settings().read("Options", "SessionLimitsShown");
    EXPECT_EQ(shown.has_value(), limited);
    test::SimProgram second(prepare);
    second.sim.loop().runUntil(second.sim.loop().now() + 10);
    EXPECT_TRUE(second.sim.messages().empty());
  }
}

}  // namespace
}  // namespace qb
