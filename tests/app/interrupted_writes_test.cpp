// Every program start removes what writes cut short left in the folders it writes in, and
// leaves alone what a program that still runs is writing there.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "common/os_files.h"
#include "common/temporary_files.h"
#include "common/utf8_path.h"
#include "platform/ini_settings.h"
#include "platform/own_files.h"
#include "shortcut/kestrip_form.h"
#include "support/child_process.h"
#include "support/sim_program.h"

namespace qb {
namespace {

namespace fs = std::filesystem;

TEST(InterruptedWrites, EveryStartClearsTheFoldersItWritesInAndSparesRunningWrites) {
  struct Case {
    const char* start;
    const char* folder;  // under the test's folder
    std::function<void(test::TempFolder& temp)> run;
  };
  // The programs live in "prog"; the user's own folder is "data".
  const auto onSim = [](test::TempFolder& temp, platform::sim::SimDesktop& sim,
                        const std::string& location) {
    sim.setExecutablePath(temp.pathOf("prog/daventi"));
    sim.setUserDataFolder(temp.pathOf("data"));
    sim.setArguments(" KWhatever5150 ");
    if (!location.empty()) {
      EXPECT_TRUE(sim.settings().write("Options", "Location", location));
    }
  };
  const auto recorder = [&](const std::string& location) {
    return [&, location](test::TempFolder& temp) {
      platform::sim::SimDesktop sim;
      onSim(temp, sim, location.empty() ? "" : temp.pathOf(location));
      sim.setArguments("");
      Program program(sim.desktop(), ProgramConfig{});
      program.startUp();
    };
  };
  const Case cases[] = {
      {"the recorder", "prog", recorder("")},
      {"the recorder", "stored", recorder("stored")},
      {"the recorder", "data/programs", recorder("stored")},
      {"the recorder", "data/macros", recorder("")},
      {"the shortcut maker", "prog",
       [&](test::TempFolder& temp) {
         platform::sim::SimDesktop sim;
         onSim(temp, sim, "");
         KestripForm(sim.desktop()).start();
       }},
      {"the shortcut maker", "data/programs",
       [&](test::TempFolder& temp) {
         platform::sim::SimDesktop sim;
         onSim(temp, sim, "");
         KestripForm(sim.desktop()).start();
       }},
      {"the shortcut maker", "stored",
       [&](test::TempFolder& temp) {
         platform::sim::SimDesktop sim;
         onSim(temp, sim, temp.pathOf("stored"));
         KestripForm(sim.desktop()).start();
       }},
      {"the settings store", "config/quillbarrow",
       [](test::TempFolder& temp) {
         platform::IniSettings settings(temp.pathOf("config/quillbarrow/settings.ini"));
       }},
  };
  for (const Case& c : cases) {
    test::TempFolder temp;
    const fs::path folder = temp.pathOf(c.folder);
    for (const char* made : {"prog", "stored", "data/programs", "data/macros", c.folder})
      fs::create_directories(temp.pathOf(made));
    const fs::path left =
        folder / (".qb-" + std::to_string(test::endedProcessId()) + "-0123456789abcdef.tmp");
    std::ofstream(left) << "half a macro";
    fs::path running;
    std::string error;
    bool taken = false;
#ifdef _WIN32
    // Windows has no fork(): the running write is held by this process, under a name that
    // says its writer has ended, so that only the hold can keep it.
    running = folder / (".qb-" + std::to_string(test::endedProcessId()) + "-fedcba9876543210.tmp");
    const os::HeldFile writer = os::HeldFile::create(utf8FromPath(running), error, taken);
    ASSERT_TRUE(writer.isOpen()) << error;
#else
    test::WaitingChild writer([&] {
      return std::make_shared<os::HeldFile>(
          os::HeldFile::create(folder / newTemporaryName(), error, taken));
    });
    ASSERT_TRUE(writer.ready());
    for (const auto& e : fs::directory_iterator(folder))
      if (e.path() != left) running = e.path();
    ASSERT_FALSE(running.empty());
#endif

    c.run(temp);
    EXPECT_FALSE(fs::exists(left)) << c.start << " in " << c.folder;
    EXPECT_TRUE(fs::exists(running)) << c.start << " in " << c.folder;
  }
}

}  // namespace
}  // namespace qb
