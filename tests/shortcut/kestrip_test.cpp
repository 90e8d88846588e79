// The shortcut maker: its lists at start, the checks of "OK", the program it makes beside itself
// and the shortcut it writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/product.h"
#include "shortcut/kestrip_form.h"
#include "shortcut/shortcut_rules.h"
#include "support/sim_program.h"

namespace qb::test {
namespace {

namespace fs = std::filesystem;

const std::string kStub = "stub image";

class Kestrip : public ::testing::Test {
 protected:
  platform::sim::SimDesktop sim;
  TempFolder root;
  std::string prog = root.path() + "/prog";
  std::string macros = root.path() + "/macros";
  std::string desktopFolder = root.path() + "/Desktop";
  std::unique_ptr<KestripForm> form;

  Kestrip() {
    for (const auto& f : {prog, macros, desktopFolder}) fs::create_directories(f);
    std::ofstream(prog + "/" + std::string(kStubProgram), std::ios::binary) << kStub;
    sim.setExecutablePath(prog + "/kestrip");
    sim.settings().write("Options", "Location", macros, nullptr);
  }

  KestripForm& start(const std::string& arguments = " KWhatever5150 ") {
    sim.setArguments(arguments);
    form = std::make_unique<KestripForm>(sim.desktop());
    form->start();
    return *form;
  }
  static void write(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  void choose(const std::string& file) {
    const auto& items = form->Files.items();
    const auto it = std::find(items.begin(), items.end(), file);
    ASSERT_NE(it, items.end()) << file;
    form->Files.clickItem(static_cast<std::size_t>(it - items.begin()));
  }
  // Chooses a file, a key, its modifiers and the desktop, and presses "OK".
  void ok(const std::string& file, const std::string& key, bool ctrl = false, bool shift = false,
          bool alt = false) {
    choose(file);
    form->Key.setText(key);
    form->Ctrl.setValue(ctrl);
    form->Shift.setValue(shift);
    form->Alt.setValue(alt);
    form->Location.setText(desktopFolder);
    form->Ok.click();
  }
  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (const auto& m : sim.messages()) texts.push_back(m.text);
    return texts;
  }
  std::string shortcutFile(const std::string& name) const {
    return desktopFolder + "/" + name + std::string(kShortcutExtension);
  }
};

TEST_F(Kestrip, StartsWithTheFoldersKeysAndMacroFolderFilled) {
  sim.setSpecialFolders({"/home/u/Desktop", "/home/u/Schreibtisch",
                         "C:\\Users\\u\\Start Menu\\Programs", "/home/u/.local/share/applications",
                         "/home/u/Desktop", "/home/u/desktop"});
  write(macros + "/Macro-a.txt", "w:a\r\n");
  write(macros + "/Macro-AM-b.txt", "w:b\r\n");
  write(macros + "/Macro-c.exe", kStub);
  write(macros + "/macro-d.TXT", "w:d\r\n");
  write(macros + "/Other.txt", "w:o\r\n");
  write(macros + "/Macro-noext", "w:n\r\n");
  KestripForm& k = start();
#ifdef _WIN32
  const std::vector<std::string> offered{"/home/u/Desktop", "C:\\Users\\u\\Start Menu\\Programs",
                                         "/home/u/desktop"};
#else
  const std::vector<std::string> offered{"/home/u/Desktop", "/home/u/Schreibtisch",
                                         "C:\\Users\\u\\Start Menu\\Programs",
                                         "/home/u/.local/share/applications", "/home/u/desktop"};
#endif
  EXPECT_EQ(k.Location.items(), offered);
  EXPECT_EQ(k.Location.text(), "- Select Location -");
  ASSERT_EQ(k.Key.items().size(), 76u);
  EXPECT_EQ(k.Key.items()[0], "!");
  EXPECT_EQ(k.Key.items()[15], "0");
  EXPECT_EQ(k.Key.items()[32], "A");
  EXPECT_EQ(k.Key.items()[63], "`");
  EXPECT_EQ(k.Key.items()[64], "F1");
  EXPECT_EQ(k.Key.items()[75], "F12");
  EXPECT_EQ(k.Key.text(), "");
  EXPECT_EQ(k.Folder.text(), macros);
  EXPECT_EQ(k.Files.items(), (std::vector<std::string>{"Macro-a.txt", "Macro-AM-b.txt",
                                                       "Macro-c.exe", "macro-d.TXT"}));
  EXPECT_TRUE(sim.log().entries().empty());  // started with the launch token: no page opens
  EXPECT_EQ(k.caption(), kWindowTitle);
}

TEST_F(Kestrip, WithoutTheLaunchTokenTheHelpPageOpensAndTheWindowWorks) {
  for (const char* arguments : {"", "KWhatever", "kwhatever5150"}) {
    sim.log().clear();
    start(arguments);
    ASSERT_EQ(sim.log().entries().size(), 1u) << arguments;
    EXPECT_EQ(sim.log().entries()[0].action, "OpenUrl");
    EXPECT_EQ(sim.log().entries()[0].args, "file://" + prog + "/quillbarrow-help.html");
  }
  form->Help.click();
  EXPECT_EQ(sim.log().entries().back().args, "file://" + prog + "/quillbarrow-help.html");
}

TEST_F(Kestrip, AMacroTextFileGetsAProgramBesideTheMakerAndAShortcutToIt) {
  write(macros + "/Macro-Test.txt", "w:t\r\n");
  start();
  ok("Macro-Test.txt", "F7");
  EXPECT_EQ(messages(), std::vector<std::string>{"Short Cut Complete"});
  EXPECT_EQ(read(prog + "/Macro-Test.exe"), kStub + "::::-Quillbarrow-::::w:t\r\n\r\n");
  ASSERT_EQ(sim.shortcuts().size(), 1u);
  EXPECT_EQ(sim.shortcuts()[0].path, shortcutFile("Macro-Test"));
  EXPECT_EQ(sim.shortcuts()[0].target, prog + "/Macro-Test.exe");
  EXPECT_EQ(sim.shortcuts()[0].hotKey, "F7");
  EXPECT_FALSE(form->ended());  // the window stays for the next one
}

TEST_F(Kestrip, AnAdvancedMacroGetsTheRecordedMarkerAndAProgramIsUsedAsItIs) {
  write(macros + "/Macro-AM-b.txt", "m:leftclick\r\n");
  write(macros + "/Macro-Test.exe", kStub + "::::-Quillbarrow-::::w:x\r\n");
  start();
  ok("Macro-AM-b.txt", "");
  EXPECT_EQ(read(prog + "/Macro-AM-b.exe"), kStub + "::::-Quillbarrow-::::m:leftclick\r\n\r\n");
  ok("Macro-Test.exe", "");
  EXPECT_FALSE(fs::exists(prog + "/Macro-Test.exe"));
  ASSERT_EQ(sim.shortcuts().size(), 2u);
  EXPECT_EQ(sim.shortcuts()[0].hotKey, "");
  EXPECT_EQ(sim.shortcuts()[1].path, shortcutFile("Macro-Test"));
  EXPECT_EQ(sim.shortcuts()[1].target, macros + "/Macro-Test.exe");
}

TEST_F(Kestrip, TheHotKeyCarriesTheModifiersAndASingleKeyNeedsOne) {
  write(macros + "/Macro-k.txt", "w:k\r\n");
  start();
  struct Case {
    const char* key;
    bool ctrl, shift, alt;
    const char* hotKey;  // null: refused
  };
  const Case cases[] = {
      {"K", true, false, true, "CTRL+ALT+K"},    {"1", false, true, false, "SHIFT+1"},
      {"F7", false, false, false, "F7"},         {"F7", true, true, true, "CTRL+SHIFT+ALT+F7"},
      {"A", false, false, false, nullptr},       {"`", false, false, false, nullptr},
      {"\xC3\xA9", false, false, false, nullptr}};  // one character, two bytes
  for (const Case& c : cases) {
    const std::size_t shortcuts = sim.shortcuts().size(), shown = messages().size();
    fs::remove(prog + "/Macro-k.exe");
    ok("Macro-k.txt", c.key, c.ctrl, c.shift, c.alt);
    ASSERT_EQ(messages().size(), shown + 1) << c.key;
    // A program made before the refusal stays.
    EXPECT_TRUE(fs::exists(prog + "/Macro-k.exe")) << c.key;
    if (!c.hotKey) {
      EXPECT_EQ(sim.shortcuts().size(), shortcuts) << c.key;
      EXPECT_EQ(messages().back(),
                "Could you please select at least one of the following, Ctrl, Shift, Alt. Note: If "
                "you do not want to use a Ctrl, Shift, Alt then user a F# key. For Example F7 ");
      continue;
    }
    ASSERT_EQ(sim.shortcuts().size(), shortcuts + 1) << c.key;
    EXPECT_EQ(sim.shortcuts().back().hotKey, c.hotKey);
  }
}

TEST_F(Kestrip, AHotKeyIsArmedAfterTheShortcutIsWrittenAndAKeyThatCannotWorkIsSaid) {
  write(macros + "/Macro-k.txt", "w:k\r\n");
  start();
  struct Case {
    const char* key;
    const char* problem;  // what arming the key answers
    const char* said;     // the message shown
    bool armed;           // whether the hot key was armed at all
  };
  const Case cases[] = {
      {"K", "", "Short Cut Complete", true},
      {"K", "CTRL+ALT+K is taken", "CTRL+ALT+K is taken", true},
      {"", "never asked", "Short Cut Complete", false},  // no hot key, nothing to arm
  };
  const auto armed = [&] {
    std::vector<std::string> args;
    for (const auto& e : sim.log().entries())
      if (e.action == "ArmHotKey") args.push_back(e.args);
    return args;
  };
  for (const Case& c : cases) {
    sim.setHotKeyProblem(c.problem);
    const std::size_t arms = armed().size();
    ok("Macro-k.txt", c.key, true, false, true);
    EXPECT_EQ(messages().back(), c.said) << c.key << " " << c.problem;
    EXPECT_EQ(armed().size(), arms + (c.armed ? 1 : 0)) << c.key << " " << c.problem;
    // The shortcut is written either way: only its key may not work.
    EXPECT_TRUE(fs::exists(prog + "/Macro-k.exe"));
  }
  EXPECT_EQ(sim.shortcuts().size(), 3u);
  EXPECT_EQ(armed(), std::vector<std::string>(2, shortcutFile("Macro-k") + " [CTRL+ALT+K]"));
}

TEST_F(Kestrip, TheShortcutIsNamedUpToTheFirstDotAndTheLocationIsUsedAsTyped) {
  write(macros + "/Macro-a.b.txt", "w:ab\r\n");
  start();
  choose("Macro-a.b.txt");
  form->Location.setText(" " + desktopFolder);
  form->Ok.click();
  ASSERT_EQ(sim.shortcuts().size(), 1u);
  EXPECT_EQ(sim.shortcuts()[0].path,
            " " + desktopFolder + "/Macro-a" + std::string(kShortcutExtension));
  EXPECT_EQ(sim.shortcuts()[0].target, prog + "/Macro-a.b.exe");
}

TEST_F(Kestrip, AMacroFileInAnotherLetterCaseIsNeverOverwritten) {
  // The macro folder is the maker's own folder, where the programs go.
  sim.settings().write("Options", "Location", prog, nullptr);
  write(prog + "/Macro-up.TXT", "w:up\r\n");
  start();
  ok("Macro-up.TXT", "F2");
  EXPECT_EQ(read(prog + "/Macro-up.TXT"), "w:up\r\n");
  EXPECT_EQ(read(prog + "/Macro-up.exe"), kStub + "::::-Quillbarrow-::::w:up\r\n\r\n");
  ASSERT_EQ(sim.shortcuts().size(), 1u);
  EXPECT_EQ(sim.shortcuts()[0].target, prog + "/Macro-up.exe");
}

TEST_F(Kestrip, OkAsksForALocationAndAMacro) {
  write(macros + "/Macro-a.txt", "w:a\r\n");
  start();
  for (const char* location : {"- Select Location -", "  - Select Location - ", "", "   "}) {
    choose("Macro-a.txt");
    form->Location.setText(location);
    form->Ok.click();
  }
  form = std::make_unique<KestripForm>(sim.desktop());
  form->start();
  form->Location.setText(desktopFolder);
  form->Ok.click();  // nothing chosen
  std::vector<std::string> expected(
      4, "Could you please select a location for the Short Cut to be placed");
  expected.push_back("Could you please select a macro from the list box");
  EXPECT_EQ(messages(), expected);
  EXPECT_TRUE(sim.shortcuts().empty());
  EXPECT_FALSE(fs::exists(prog + "/Macro-a.exe"));
}

TEST_F(Kestrip, EveryFailingStepSaysWhatFailedAndTheWindowStays) {
  write(macros + "/Macro-a.txt", "w:a\r\n");
  write(macros + "/Macro-gone.txt", "w:g\r\n");
  start();
  fs::remove(prog + "/" + std::string(kStubProgram));
  ok("Macro-a.txt", "F1");
  fs::remove(macros + "/Macro-gone.txt");
  ok("Macro-gone.txt", "F1");
  write(prog + "/" + std::string(kStubProgram), kStub);
  sim.failShortcuts(true);
  ok("Macro-a.txt", "F1");
  const auto said = messages();
  ASSERT_EQ(said.size(), 3u);
  EXPECT_NE(said[0].find(prog + "/" + std::string(kStubProgram)), std::string::npos) << said[0];
  EXPECT_NE(said[1].find(macros + "/Macro-gone.txt"), std::string::npos) << said[1];
  EXPECT_NE(said[2].find(shortcutFile("Macro-a")), std::string::npos) << said[2];
  EXPECT_TRUE(sim.shortcuts().empty());
  EXPECT_FALSE(form->ended());
}

TEST_F(Kestrip, TheFileListFollowsTheFolderBoxWhenTheFolderExists) {
  write(macros + "/Macro-a.txt", "w:a\r\n");
  write(prog + "/Macro-p.txt", "w:p\r\n");
  KestripForm& k = start();
  k.Folder.setText(root.path() + "/missing");
  EXPECT_EQ(k.Files.items(), std::vector<std::string>{"Macro-a.txt"});
  EXPECT_EQ(k.filesFolder(), macros);
  k.Folder.setText(prog);
  EXPECT_EQ(k.Files.items(), std::vector<std::string>{"Macro-p.txt"});
  EXPECT_TRUE(messages().empty());
}

TEST_F(Kestrip, TheWideControlsFollowTheWindowAndCancelEndsTheProgram) {
  KestripForm& k = start();
  k.resize(8000, 6000);
  for (const forms::Control* c :
       std::initializer_list<const forms::Control*>{&k.Folder, &k.Files, &k.Location})
    EXPECT_EQ(c->layout().width, 7600) << c->name();
  k.Cancel.click();
  EXPECT_TRUE(k.ended());
  EXPECT_TRUE(sim.loop().quitting());
}

}  // namespace
}  // namespace qb::test
