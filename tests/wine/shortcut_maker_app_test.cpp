// The shortcut maker on Windows, opened with "Create  Shortcut" from the recorder: a macro,
// a key with modifiers and a place from its list of desktop and start menu folders make a
// program for the macro and a .lnk that starts it, read back through IShellLinkW.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "flow_fixture.h"

namespace qb::winetest {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A folder on the prefix's C: drive as a Unix path.
std::string unixPathOf(const std::string& windowsPath) {
  std::string path = winePrefix() + "/drive_c/" + windowsPath.substr(3);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

class ShortcutMakerApp : public FlowTest {};

TEST_F(ShortcutMakerApp, AShortcutWithAHotKeyInTheStartMenuStartsTheMacrosProgram) {
  {
    std::ofstream macro(inApp("Macro-short.txt"), std::ios::binary);
    macro << "w:short-100\r\n";
  }
  const TopWindow main = startRecorder();
  click(main.handle, "Create  Shortcut");
  // The maker's window has the recorder's title.
  const auto found = windowTitled(kMainTitle, {main.handle}, 30s);
  ASSERT_TRUE(found) << "Create  Shortcut opened no shortcut maker";
  const TopWindow maker = *found;
  shot(maker, "shortcut-maker");

  // The macro folder's macros, the keys, and the desktop and start menu folders to choose from.
  const auto files = inspector().nth(maker.handle, "ListBox", 0);
  ASSERT_TRUE(files);
  std::vector<std::string> names;
  for (const auto& entry : inspector().items(files->handle)) names.push_back(entry.text);
  EXPECT_EQ(names, std::vector<std::string>{"Macro-short.txt"});
  const auto combos = visible(maker.handle, "ComboBox");
  ASSERT_EQ(combos.size(), 2u);
  const NativeControl key = combos[0], location = combos[1];
  const auto keys = inspector().comboItems(key.handle);
  ASSERT_EQ(keys.size(), 64u + 12u);
  EXPECT_EQ(keys.front(), "!");
  EXPECT_EQ(keys.back(), "F12");
  EXPECT_EQ(inspector().text(location.handle), "- Select Location -");
  const auto places = inspector().comboItems(location.handle);
  ASSERT_FALSE(places.empty());
  for (const auto& place : places) {
    const std::string name = upper(place);
    EXPECT_TRUE(name.find("DESKTOP") != std::string::npos ||
                name.find("START MENU") != std::string::npos)
        << place;
    EXPECT_EQ(std::count(places.begin(), places.end(), place), 1) << place;
  }
  const auto programs = std::find_if(places.begin(), places.end(), [](const std::string& place) {
    return endsWith(upper(place), "\\START MENU\\PROGRAMS");
  });
  ASSERT_NE(programs, places.end()) << "the start menu's programs folder is not offered";
  EXPECT_TRUE(std::any_of(places.begin(), places.end(), [](const std::string& place) {
    return endsWith(upper(place), "\\DESKTOP");
  })) << "no desktop folder is offered";
  const std::string lnk = *programs + "\\Macro-short.lnk";
  fs::remove(unixPathOf(lnk));

  // OK before a place is chosen says so.
  click(maker.handle, "OK");
  const auto noPlace = messageBox(kProductTitle, "shortcut-no-location");
  ASSERT_TRUE(noPlace);
  EXPECT_EQ(noPlace->text, "Could you please select a location for the Short Cut to be placed");
  answer(*noPlace, "OK");

  // The start menu's programs folder, chosen in the dropped list with the keyboard.
  clickAt(location.x + location.width - 8, location.y + 10);
  for (auto i = programs - places.begin(); i >= 0; --i) tap("Down");
  tap("Return");
  ASSERT_TRUE(waitFor([&] { return inspector().text(location.handle) == *programs; }))
      << inspector().text(location.handle);
  // The macro, the key typed into the key field, Ctrl and Alt.
  clickAt(files->x + 30, files->y + 8);
  const auto keyField = visible(key.handle, "Edit");
  ASSERT_EQ(keyField.size(), 1u);
  fill(keyField[0], "Q");
  click(maker.handle, "Ctrl");
  click(maker.handle, "Alt");
  shot(maker, "shortcut-maker-filled");
  click(maker.handle, "OK");
  const auto done = messageBox(kProductTitle, "shortcut-complete");
  ASSERT_TRUE(done) << "OK said nothing";
  EXPECT_EQ(done->text, "Short Cut Complete");
  answer(*done, "OK");

  // The macro's program beside the maker, and a shortcut to it with Ctrl+Alt+Q.
  const std::string program = inApp("Macro-short.exe");
  EXPECT_TRUE(fs::exists(program));
  ASSERT_TRUE(fs::exists(unixPathOf(lnk))) << lnk;
  const ShortcutFile link = inspector().shortcut(lnk);
  ASSERT_EQ(link.error, "");
  EXPECT_EQ(upper(link.target), upper(windowsPath(program)));
  EXPECT_EQ(upper(link.workingFolder), upper(windowsPath(appFolder())));
  constexpr unsigned kHotKeyControl = 0x02, kHotKeyAlt = 0x04;
  EXPECT_EQ(link.hotKey, ((kHotKeyControl | kHotKeyAlt) << 8) | 'Q') << std::hex << link.hotKey;

  // Opened as the shell opens it, the shortcut starts the program, which plays the macro into
  // the window in front.
  const Probe probe = startProbeAt("Shortcut Target", 620, 200);
  programs_.push_back(
      std::make_unique<WineProgram>(display(), winePrefix() + "/drive_c/windows/system32/start.exe",
                                    std::vector<std::string>{"/wait", lnk}));
  EXPECT_TRUE(waitFor([&] { return typed(probe) == "short"; }, 30s)) << typed(probe);
  EXPECT_TRUE(waitFor([&] { return programs_.back()->ended().has_value(); }, 20s))
      << "the shortcut's program did not end";
  fs::remove(unixPathOf(lnk));

  // Cancel It ends the maker; the recorder stays.
  raise(maker);
  click(maker.handle, "Cancel It");
  EXPECT_TRUE(waitFor([&] { return !windowTitled(kMainTitle, {main.handle}, 0ms); }));
  EXPECT_TRUE(windowTitled(kMainTitle, {}, 0ms));
}

}  // namespace
}  // namespace qb::winetest
