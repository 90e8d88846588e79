#include "library/macro_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "forms/form.h"
#include "platform/sim/sim_desktop.h"

namespace qb {
namespace {

namespace fs = std::filesystem;

class Library : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("qb-library-" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    for (const char* folder : {"a", "b"}) fs::create_directories(root_ / folder);
    for (int i = 0; i < 5; ++i)
      std::ofstream(root_ / "a" / ("Macro-" + std::to_string(i) + ".txt")) << "x";
    std::ofstream(root_ / "b" / "Macro-b.txt") << "x";
  }
  void TearDown() override { fs::remove_all(root_); }

  platform::sim::SimDesktop sim;
  Settings settings{sim.desktop()};
  forms::Form form{"Form1", "", sim.loop()};
  forms::ListBox list{form, "List1", {}, true};
  forms::TextBox text{form, "Text1"};
  MacroLibrary library{sim.desktop(), settings, list, text};
  fs::path root_;
};

TEST_F(Library, ARefillStartedDuringARefillLeavesOneCompleteList) {
  library.setFolder((root_ / "a").string());
  // While the first refill lets events through, the folder changes and a second refill runs.
  sim.loop().post([&] { library.locationChanged((root_ / "b").string()); });
  library.ListMacro();
  EXPECT_EQ(list.items(), (std::vector<std::string>{"Macro-b.txt"}));

  sim.loop().post([&] { library.ListMacro(); });
  library.ListMacro();
  EXPECT_EQ(list.items(), (std::vector<std::string>{"Macro-b.txt"}));
}

TEST_F(Library, AFolderThatCannotBeListedShowsNothing) {
  library.locationChanged((root_ / "a").string());
  EXPECT_EQ(list.count(), 5u);
  library.locationChanged((root_ / "missing").string());
  EXPECT_EQ(list.count(), 0u);
  EXPECT_EQ(sim.settings().read("options", "LOCATION"), (root_ / "missing").string());
}

TEST_F(Library, AClickDuringASelectionWinsWholly) {
  std::ofstream(root_ / "b" / "Macro-AM-x.txt") << "w:advanced\r\n";
  library.locationChanged((root_ / "b").string());
  ASSERT_EQ(list.items(), (std::vector<std::string>{"Macro-AM-x.txt", "Macro-b.txt"}));
  list.onClick = [&] { library.select(); };
  // The first click lets events through before it reads its file; the second click comes then.
  sim.loop().post([&] { list.clickItem(1); });
  list.clickItem(0);
  EXPECT_EQ(text.text(), "x");
  EXPECT_EQ(text.tag(), "");
  EXPECT_EQ(list.tag(), "Macro-b.txt");
}

TEST_F(Library, ABigMacroLoadsWholeUnlessTheTextChangesWhileItLoads) {
  // Several megabytes: read a slice at a time with events let through between.
  std::string big;
  for (int i = 0; big.size() < 3'500'000; ++i)
    big += "m:" + std::to_string(i % 1000) + ", " + std::to_string(i % 700) + "-" +
           std::to_string(5'000'000 + i) + "\r\n";
  std::ofstream(root_ / "b" / "Macro-big.txt", std::ios::binary) << big;
  library.locationChanged((root_ / "b").string());
  ASSERT_EQ(list.items(), (std::vector<std::string>{"Macro-b.txt", "Macro-big.txt"}));
  list.onClick = [&] { library.select(); };
  list.clickItem(1);
  EXPECT_EQ(text.text().size(), big.size());
  EXPECT_TRUE(text.text() == big);  // not compared by EXPECT_EQ: a mismatch prints megabytes

  // What the user does while it loads owns the text: a recording that starts, typing.
  for (const std::string& meanwhile : {std::string("w:{a}-1\r\n"), std::string("x")}) {
    text.setText("before");
    sim.loop().post([&] { text.setText(meanwhile); });
    list.clickItem(1);
    EXPECT_TRUE(text.text() == meanwhile) << text.text().size() << " bytes";
  }
}

TEST_F(Library, AnEditorThatDoesNotStartIsSaid) {
  library.setFolder((root_ / "a").string());
  library.ListMacro();
  list.selectFromView(2, {false, false, true, false, false});
  library.openInEditor();
  EXPECT_TRUE(sim.messages().empty());
  sim.failEditor(true);
  library.openInEditor();
  ASSERT_EQ(sim.messages().size(), 1u);
  EXPECT_NE(sim.messages()[0].text.find("no text editor could be started"), std::string::npos)
      << sim.messages()[0].text;
}

TEST(MacroNames, WhatTheListShows) {
  for (const char* yes :
       {"Macro-a.txt", "macro-b.TXT", "Macr.txt", "Macroeconomics.txt", "MACR.Txt"})
    EXPECT_TRUE(isListedMacroName(yes)) << yes;
  for (const char* no : {"Macro-c.txt.bak", "Other.txt", "Mac.txt", "Macro-a.txtx"})
    EXPECT_FALSE(isListedMacroName(no)) << no;
  EXPECT_TRUE(isAdvancedMacroName("mACRO-am-x.txt"));
  EXPECT_FALSE(isAdvancedMacroName("Macro-AMx.txt"));
}

}  // namespace
}  // namespace qb
