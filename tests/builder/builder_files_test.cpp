// Advanced macro files: Save, the list of "Macro-AM-" files, loading one, and the main window's
// list following.

#include <algorithm>
#include <filesystem>

#include "builder_fixture.h"

namespace qb::test {
namespace {

namespace fs = std::filesystem;

class BuilderFiles : public BuilderTest {
 protected:
  void saveAs(FormMacroBuilder& b, const std::string& name) {
    b.CmdSave.click();
    b.save.Name.setText(name);
    b.save.Ok.click();
  }
  void clickEntry(FormMacroBuilder& b, const std::string& entry) {
    const auto& items = b.edit.Macros.items();
    const auto it = std::find(items.begin(), items.end(), entry);
    ASSERT_NE(it, items.end()) << entry;
    b.edit.Macros.clickItem(static_cast<std::size_t>(it - items.begin()));
  }
};

TEST_F(BuilderFiles, SaveWritesTheTrimmedTextListsItAndTheMainWindowFollows) {
  FormMacroBuilder& b = open();
  b.MacroText.setText("  run=c:\\a.exe\r\n");
  saveAs(b, " x ");
  // Only the emptiness test trims the name; the text loses its blanks, not its line ends.
  EXPECT_EQ(readFile("Macro-AM- x .txt"), "run=c:\\a.exe\r\n\r\n");
  EXPECT_EQ(messages(), std::vector<std::string>{"The Macro has been saved"});
  EXPECT_EQ(b.shownPanel(), &b.edit.FrameEdit);
  EXPECT_EQ(b.edit.Macros.items(), std::vector<std::string>{"Macro-AM- x .txt"});
  EXPECT_EQ(app.form().List1.items(), std::vector<std::string>{"Macro-AM- x .txt"});
}

TEST_F(BuilderFiles, EverySaveOfALoadedMacroAddsOneLineEnd) {
  FormMacroBuilder& b = open();
  b.MacroText.setText("w:a\r\n");
  saveAs(b, "again");
  for (const char* expected : {"w:a\r\n\r\n\r\n", "w:a\r\n\r\n\r\n\r\n"}) {
    clickEntry(b, "Macro-AM-again.txt");
    EXPECT_EQ(b.MacroText.text(), readFile("Macro-AM-again.txt"));
    saveAs(b, "again");
    EXPECT_EQ(readFile("Macro-AM-again.txt"), expected);
  }
  // A save under an existing name replaces the whole file.
  b.MacroText.setText("w:b");
  saveAs(b, "again");
  EXPECT_EQ(readFile("Macro-AM-again.txt"), "w:b\r\n");
}

TEST_F(BuilderFiles, AnEmptyNameIsAskedForAndNothingIsWritten) {
  FormMacroBuilder& b = open();
  b.MacroText.setText("w:a\r\n");
  saveAs(b, "   ");
  EXPECT_EQ(messages(), std::vector<std::string>{"Enter a Macro Name"});
  EXPECT_EQ(b.shownPanel(), &b.save.FrameSave);
  EXPECT_TRUE(fs::is_empty(folder()));
}

TEST_F(BuilderFiles, ANameTheFolderCannotHoldIsRefusedWithTheReason) {
  FormMacroBuilder& b = open();
  b.MacroText.setText("w:a\r\n");
  for (const std::string& name :
       std::vector<std::string>{"../up", "a\\b", "c:d", "tab\there", std::string(250, 'n')}) {
    const std::size_t before = messages().size();
    saveAs(b, name);
    ASSERT_EQ(messages().size(), before + 1) << name;
    const std::string said = messages().back();
    EXPECT_NE(said.find("Macro-AM-" + name + ".txt"), std::string::npos) << said;
    EXPECT_EQ(b.shownPanel(), &b.save.FrameSave) << name;
  }
  EXPECT_TRUE(fs::is_empty(folder()));
  EXPECT_EQ(b.MacroText.text(), "w:a\r\n");
}

TEST_F(BuilderFiles, AFailedSaveSaysWhyAndKeepsTheText) {
  const std::string missing = joinPath(folder(), "gone");
  app.form().Text4.setText(missing);  // the builder takes the stored location at load
  FormMacroBuilder& b = open();
  b.MacroText.setText("w:a\r\n");
  saveAs(b, "x");
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find(joinPath(missing, "Macro-AM-x.txt")), std::string::npos)
      << messages()[0];
  EXPECT_EQ(messages()[0].find("The Macro has been saved"), std::string::npos);
  EXPECT_EQ(b.MacroText.text(), "w:a\r\n");
  EXPECT_EQ(b.save.Name.text(), "x");
  EXPECT_EQ(b.shownPanel(), &b.save.FrameSave);
}

TEST_F(BuilderFiles, TheListShowsAdvancedMacrosInAnyLetterCase) {
  for (const char* name :
       {"Macro-AM-b.TXT", "macro-am-a.txt", "Macro-x.txt", "Macro-AM-c.log", "Macro-AM-d.txt.bak"})
    writeFile(name, "w:a\r\n");
  FormMacroBuilder& b = open();
  b.CmdList.click();
  EXPECT_EQ(b.edit.Macros.items(), (std::vector<std::string>{"macro-am-a.txt", "Macro-AM-b.TXT"}));
  // The main window relists its folder too.
  EXPECT_EQ(app.form().List1.count(), 3u);
}

TEST_F(BuilderFiles, AClickLoadsTheFileAsItIs) {
  writeFile("Macro-AM-a.txt", "loop:2\r\nm:1, 2\r\n\r\n");
  FormMacroBuilder& b = open();
  b.MacroText.setText("unsaved");
  b.CmdList.click();
  clickEntry(b, "Macro-AM-a.txt");
  EXPECT_EQ(b.MacroText.text(), "loop:2\r\nm:1, 2\r\n\r\n");
  EXPECT_TRUE(messages().empty());
}

TEST_F(BuilderFiles, AFileThatCannotBeLoadedIsReportedAndTheTextStays) {
  writeFile("Macro-AM-a.txt", "w:a\r\n");
  FormMacroBuilder& b = open();
  b.CmdList.click();
  fs::remove(pathOf("Macro-AM-a.txt"));
  b.MacroText.setText("unsaved");
  clickEntry(b, "Macro-AM-a.txt");
  EXPECT_EQ(b.MacroText.text(), "unsaved");
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find(pathOf("Macro-AM-a.txt")), std::string::npos) << messages()[0];
}

TEST_F(BuilderFiles, TwoSavesWithinOneSecondBothReachTheMainList) {
  FormMacroBuilder& b = open();
  b.MacroText.setText("w:a\r\n");
  saveAs(b, "one");
  saveAs(b, "two");
  EXPECT_EQ(app.form().List1.items(),
            (std::vector<std::string>{"Macro-AM-one.txt", "Macro-AM-two.txt"}));
}

TEST_F(BuilderFiles, ALoadTakesTheStoredLocationAndTheProgramFolderForAShortOne) {
  fs::create_directories(folder() + "/other");
  app.form().Text4.setText(folder() + "/other");
  EXPECT_TRUE(app.sim.settings().write("Options", "Location", "  " + folder() + "/other  "));
  FormMacroBuilder& b = open();
  b.MacroText.setText("w:a\r\n");
  saveAs(b, "o");
  EXPECT_TRUE(fs::exists(folder() + "/other/Macro-AM-o.txt"));
  b.CmdExit.click();
  app.run();

  EXPECT_TRUE(app.sim.settings().write("Options", "Location", " x "));
  FormMacroBuilder& again = open();
  saveAs(again, "p");
  EXPECT_TRUE(fs::exists(folder() + "/Macro-AM-p.txt"));  // the program's own folder
}

}  // namespace
}  // namespace qb::test
