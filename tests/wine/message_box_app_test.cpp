// The message boxes the recorder shows on its ordinary paths, as a person meets them: each one
// must draw (a picture of it from the screen with its text and buttons inked), say what it is
// about, and take its answer from the keyboard, the program doing what the answer asks.

#include <filesystem>

#include "recorder_window.h"

namespace qb::winetest {
namespace {

namespace fs = std::filesystem;

class MessageBoxApp : public RecorderWindowTest {
 protected:
  // Clicks `button` of `window` and answers the box that comes with `key`; returns its text.
  std::string boxAfter(unsigned long long window, const std::string& button,
                       const std::string& picture, const std::string& key) {
    const auto before = windowHandles();
    click(window, button);
    return answerBox(before, picture, key);
  }
};

TEST_F(MessageBoxApp, TheMainWindowsBoxesDrawAndTakeTheirAnswersFromTheKeyboard) {
  writeMacro("Macro-keep.txt", "w:{a}-100\r\n");
  startRecorder();
  const auto list = macroList();
  ASSERT_TRUE(waitFor([&] { return inspector().items(list.handle).size() == 1; }));

  // Boxes that only tell: Enter and Escape both close them, and nothing changes.
  const struct {
    const char* button;
    const char* says;
    const char* picture;
    const char* key;
  } tellings[] = {
      {"About", "Written by the Quillbarrow developers", "box-about", "Return"},
      {"Save Macro", "Please Record a Macro", "box-save-nothing-recorded", "Escape"},
      {"Remove Macro", "Please select macro to delete", "box-remove-nothing-selected", "Return"},
      {"Repeat it?", "Please select a macro name from the list box", "box-repeat-nothing-selected",
       "Escape"},
      {"Speed?", "Please select a macro name from the list box", "box-speed-nothing-selected",
       "Return"},
      {"Make Macro a Exe", "Please select a Macro to make into a EXE", "box-exe-nothing-selected",
       "Return"},
  };
  for (const auto& t : tellings) {
    activate(recorder_);
    const std::string shown = boxAfter(recorder_.handle, t.button, t.picture, t.key);
    EXPECT_NE(shown.find(t.says), std::string::npos) << t.button << " showed: " << shown;
  }
  EXPECT_EQ(inspector().items(list.handle).size(), 1u);
  EXPECT_TRUE(fs::exists(inApp("Macro-keep.txt")));

  // A macro typed into the field but no name: the save says so and writes nothing.
  click(recorder_.handle, "&Options");
  ASSERT_TRUE(waitFor([&] { return oneLineFields(recorder_.handle).size() == 2; }));
  click(multiLineField(recorder_.handle));
  type("w:{z}-100");
  const std::string shown =
      boxAfter(recorder_.handle, "Save Macro", "box-save-without-name", "Return");
  EXPECT_NE(shown.find("Please Enter a Macro Name"), std::string::npos) << shown;
  for (const auto& entry : fs::directory_iterator(appFolder()))
    EXPECT_TRUE(entry.path().filename().string().rfind("Macro-", 0) != 0 ||
                entry.path().filename() == "Macro-keep.txt")
        << entry.path() << " was written";
  EXPECT_EQ(text(multiLineField(recorder_.handle)), "w:{z}-100");

  // Removing asks: N keeps the macro, Y removes its entry and its file.
  activate(recorder_);
  clickEntry(list, 0);
  ASSERT_TRUE(waitFor([&] { return inspector().items(list.handle)[0].selected; }));
  const std::string question =
      boxAfter(recorder_.handle, "Remove Macro", "box-remove-question", "n");
  EXPECT_NE(question.find("Are you sure you would like to delete macro Macro-keep.txt"),
            std::string::npos)
      << question;
  EXPECT_TRUE(fs::exists(inApp("Macro-keep.txt")));
  EXPECT_EQ(inspector().items(list.handle).size(), 1u);
  activate(recorder_);
  boxAfter(recorder_.handle, "Remove Macro", "box-remove-question-yes", "y");
  ASSERT_TRUE(waitFor([&] { return !fs::exists(inApp("Macro-keep.txt")); }));
  EXPECT_TRUE(inspector().items(list.handle).empty());
}

TEST_F(MessageBoxApp, TheHotKeysAndBuilderBoxesDrawAndTakeTheirAnswersFromTheKeyboard) {
  startRecorder();
  click(recorder_.handle, "Show HotKeys");
  const auto hotKeys = inspector().window("Hot Keys - Standard");
  ASSERT_TRUE(hotKeys);
  const std::string samples = boxAfter(hotKeys->handle, "&Samples", "box-samples", "Return");
  EXPECT_NE(samples.find("The sample keys are now setup"), std::string::npos) << samples;
  const auto rows = oneLineFields(hotKeys->handle);
  ASSERT_EQ(rows.size(), 12u);
  const std::string f9 = text(rows[8]);
  EXPECT_FALSE(f9.empty()) << "the samples filled no F9 row";
  // Clear asks: N keeps the rows, Y empties them.
  const std::string clear = boxAfter(hotKeys->handle, "&Clear", "box-clear-rows", "n");
  EXPECT_NE(clear.find("Are You sure you want to Clear all the text boxes?"), std::string::npos)
      << clear;
  EXPECT_EQ(text(rows[8]), f9);
  boxAfter(hotKeys->handle, "&Clear", "box-clear-rows-yes", "y");
  ASSERT_TRUE(waitFor([&] { return text(rows[8]).empty(); })) << text(rows[8]);
  click(hotKeys->handle, "&OK");
  ASSERT_TRUE(gone(hotKeys->handle));

  // The builder's Clear Macro asks too.
  activate(recorder_);
  click(recorder_.handle, "Advanced Macro Builder");
  const auto builder = inspector().window("Advanced Macro Builder");
  ASSERT_TRUE(builder);
  const auto macro = multiLineField(builder->handle);
  click(macro);
  type("w:hello");
  ASSERT_TRUE(waitFor([&] { return text(macro) == "w:hello"; })) << text(macro);
  const std::string ask = boxAfter(builder->handle, "Clear Macro", "box-builder-clear", "n");
  EXPECT_NE(ask.find("Are you sure you would like to clear the macro text"), std::string::npos)
      << ask;
  EXPECT_EQ(text(macro), "w:hello");
  boxAfter(builder->handle, "Clear Macro", "box-builder-clear-yes", "y");
  EXPECT_TRUE(waitFor([&] { return text(macro).empty(); })) << text(macro);
}

}  // namespace
}  // namespace qb::winetest
