// "Make Macro a Exe" on Windows: a saved macro chosen in the main window's list is made into a
// program of its own beside the recorder, which, started like any program, plays into the
// window in front and ends.

#include <filesystem>
#include <fstream>
#include <thread>

#include "flow_fixture.h"

namespace qb::winetest {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class MadeProgramApp : public FlowTest {};

TEST_F(MadeProgramApp, TheMadeProgramPlaysItsMacroIntoTheWindowInFrontAndEnds) {
  {
    std::ofstream macro(inApp("Macro-maker.txt"), std::ios::binary);
    macro << "w:made-100\r\nw:{enter}-100\r\nw:+{o}-100\r\nw:k-100\r\n";
  }
  const TopWindow main = startRecorder();
  const auto list = *inspector().nth(main.handle, "ListBox", 0);
  ASSERT_TRUE(waitFor([&] { return inspector().items(list.handle).size() == 1; }));

  // Without a chosen macro the button says what it needs.
  click(main.handle, "Make Macro a Exe");
  const auto unchosen = messageBox(kProductTitle, "make-exe-no-macro");
  ASSERT_TRUE(unchosen) << "Make Macro a Exe said nothing";
  EXPECT_EQ(unchosen->text, "Please select a Macro to make into a EXE");
  answer(*unchosen, "OK");

  // The macro chosen in the list: the program is made beside the recorder, and the box says
  // where.
  clickAt(list.x + 30, list.y + 8);
  ASSERT_TRUE(waitFor([&] { return enabled(main.handle, "Play"); }));
  click(main.handle, "Make Macro a Exe");
  const auto made = messageBox(kProductTitle, "make-exe-done");
  ASSERT_TRUE(made) << "Make Macro a Exe said nothing";
  const std::string program = inApp("Macro-maker.exe");
  EXPECT_EQ(made->text, "Macro EXE is " + windowsPath(program));
  answer(*made, "OK");
  ASSERT_TRUE(fs::exists(program));
  // Made by appending the macro to the player program: larger than the player alone.
  EXPECT_GT(fs::file_size(program), fs::file_size(inApp("Tapbolt.exe")));

  // Started with another program's window in front (the recorder still running), it plays
  // the macro there and ends without a window of its own.
  const Probe probe = startProbeAt("Made Target", 620, 200);
  programs_.push_back(
      std::make_unique<WineProgram>(display(), program, std::vector<std::string>{}, appFolder()));
  WineProgram& player = *programs_.back();
  bool showedWindow = false;
  ASSERT_TRUE(waitFor(
      [&] {
        showedWindow = showedWindow || windowTitled(kMainTitle, {main.handle}, 0ms).has_value();
        return typed(probe) == "made\rOk";
      },
      30s))
      << typed(probe);
  ASSERT_TRUE(waitFor([&] { return player.ended().has_value(); }, 20s))
      << "the made program did not end";
  EXPECT_EQ(*player.ended(), 0);
  EXPECT_EQ(typed(probe), "made\rOk");
  EXPECT_TRUE(inFront(probe));
  EXPECT_FALSE(showedWindow) << "the made program showed the recorder's window";
}

}  // namespace
}  // namespace qb::winetest
