// "Make Macro a Exe": the program written for the selected macro, and its failures.

#include "script/make_exe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/product.h"
#include "script/stand_alone_markers.h"
#include "support/sim_program.h"

namespace qb::test {
namespace {

namespace fs = std::filesystem;

const std::string kStub = std::string(
    "\x7f"
    "ELF stub image\0\r\n",
    18);

class MakeExe : public ::testing::Test {
 protected:
  SimProgram app;

  std::string pathOf(const std::string& name) const { return app.folder.pathOf(name); }
  void writeFile(const std::string& name, const std::string& content) const {
    app.folder.writeFile(name, content);
  }
  std::string readFile(const std::string& name) const { return app.folder.readFile(name); }
  // The macro file `name` with `content`, listed and clicked in the main window.
  void select(const std::string& name, const std::string& content) {
    writeFile(name, content);
    app.program.library.ListMacro();
    const auto& items = app.form().List1.items();
    const auto it = std::find(items.begin(), items.end(), name);
    ASSERT_NE(it, items.end()) << name;
    app.form().List1.clickItem(static_cast<std::size_t>(it - items.begin()));
  }
  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (const auto& m : app.sim.messages()) texts.push_back(m.text);
    return texts;
  }
  void make() { app.form().Command14.click(); }
};

TEST_F(MakeExe, WritesStubMarkerMacroAndLineEndBesideTheMacro) {
  writeFile(std::string(kStubProgram), kStub);
  select("Macro-a.txt", "m:1,2-0\r\n");
  make();
  EXPECT_EQ(readFile("Macro-a.exe"), kStub + "::::-Quillbarrow-::::m:1,2-0\r\n\r\n");
  EXPECT_EQ(messages(), std::vector<std::string>{"Macro EXE is " + pathOf("Macro-a.exe")});
  const auto perms = fs::status(pathOf("Macro-a.exe")).permissions();
  EXPECT_NE(perms & fs::perms::owner_exec, fs::perms::none);
  EXPECT_EQ(readFile("Macro-a.txt"), "m:1,2-0\r\n");

  select("Macro-AM-b.txt", "w:x\r\n");
  make();
  EXPECT_EQ(readFile("Macro-AM-b.exe"), kStub + "::::-Quillbarrow-AM-::::w:x\r\n\r\n");
}

TEST_F(MakeExe, WritesWhatTheMacroFieldHoldsAndReplacesAnEarlierProgram) {
  writeFile(std::string(kStubProgram), kStub);
  select("Macro-a.txt", "m:1,2-0\r\n");
  make();
  app.form().Text1.setText("m:3,4-0\r\n");  // edited after the click
  make();
  EXPECT_EQ(readFile("Macro-a.exe"), kStub + "::::-Quillbarrow-::::m:3,4-0\r\n\r\n");
}

TEST_F(MakeExe, NeverOverwritesTheMacroFile) {
  writeFile(std::string(kStubProgram), kStub);
  for (const char* name : {"Macro-c.TXT", "Macro-d.Txt"}) {
    select(name, "w:keep\r\n");
    make();
    EXPECT_EQ(readFile(name), "w:keep\r\n") << name;
  }
  EXPECT_TRUE(fs::exists(pathOf("Macro-c.exe")));
  EXPECT_TRUE(fs::exists(pathOf("Macro-d.exe")));
}

TEST(StandAloneProgramName, AlwaysEndsInExeAndIsNeverTheEntry) {
  const std::pair<const char*, const char*> cases[] = {
      {"Macro-login.txt", "Macro-login.exe"}, {"Macro-AM-b.txt", "Macro-AM-b.exe"},
      {"Macro-a.txt.txt", "Macro-a.exe.exe"}, {"Macro-c.TXT", "Macro-c.exe"},
      {"Macro-e.txt.TXT", "Macro-e.exe.exe"}, {"Macro-f", "Macro-f.exe"},
      {"Macro-g.EXE", "Macro-g.EXE.exe"},     {"Macro-h.txtx", "Macro-h.exex.exe"}};
  for (const auto& [entry, program] : cases)
    EXPECT_EQ(standAloneProgramName(entry), program) << entry;
}

TEST_F(MakeExe, NoSelectionIsAskedFor) {
  writeFile(std::string(kStubProgram), kStub);
  make();
  EXPECT_EQ(messages(), std::vector<std::string>{"Please select a Macro to make into a EXE"});
}

TEST_F(MakeExe, AMissingStubOrAnUnwritableTargetIsReportedAndTheProgramGoesOn) {
  select("Macro-a.txt", "w:a\r\n");
  make();  // no stub beside the program
  ASSERT_EQ(messages().size(), 1u);
  EXPECT_NE(messages()[0].find(pathOf(std::string(kStubProgram))), std::string::npos)
      << messages()[0];
  EXPECT_FALSE(fs::exists(pathOf("Macro-a.exe")));

  writeFile(std::string(kStubProgram), kStub);
  fs::create_directory(pathOf("Macro-a.exe"));  // a folder where the program would go
  make();
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_NE(messages()[1].find(pathOf("Macro-a.exe")), std::string::npos) << messages()[1];
  EXPECT_EQ(messages()[1].find("Macro EXE is"), std::string::npos);
  EXPECT_FALSE(app.program.ended());
  EXPECT_TRUE(fs::is_empty(pathOf("Macro-a.exe")));
}

}  // namespace
}  // namespace qb::test
