#include "record/recording.h"

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "record/stop_processing.h"
#include "support/sim_play.h"
#include "support/sim_program.h"

namespace qb {
namespace {

using test::SimProgram;
using Lines = std::vector<std::string>;

using test::macro;

TEST(StopProcessing, DragsClicksAndLetterCase) {
  struct Case {
    const char* what;
    std::string text;
    std::string result;
  };
  const Case cases[] = {
      {"a drag",
       macro({"m:10, 20-100", "m:clickl-110", "t:11, 21-120", "t:12, 22-130", "t:13, 23-140",
              "m:14, 24-150"}),
       macro({"m:10, 20-100", "q:11, 21-120", "t:12, 22-130", "u:13, 23-140", "m:14, 24-150"})},
      {"a lone drag step goes, its click stays",
       macro({"m:10, 20-100", "m:clickl-110", "t:11, 21-120", "m:12, 22-130"}),
       macro({"m:10, 20-100", "m:clickl-110", "m:12, 22-130"})},
      {"a drag at the end of the text", macro({"m:1, 1-1", "t:2, 2-2", "t:3, 3-3"}),
       macro({"m:1, 1-1", "q:2, 2-2", "u:3, 3-3"})},
      {"a first line is never lone", macro({"t:1, 1-1", "m:2, 2-2"}),
       macro({"q:1, 1-1", "m:2, 2-2"})},
      {"two drags", macro({"t:1, 1-1", "t:2, 2-2", "m:3, 3-3", "t:4, 4-4", "t:5, 5-5", "t:6, 6-6"}),
       macro({"q:1, 1-1", "u:2, 2-2", "m:3, 3-3", "q:4, 4-4", "t:5, 5-5", "u:6, 6-6"})},
      {"letter case counts for the prefix", macro({"m:1, 1-1", "T:2, 2-2", "m:3, 3-3"}),
       macro({"m:1, 1-1", "t:2, 2-2", "m:3, 3-3"})},
      {"lower-cased", macro({"w:{HOME}-1", "w:^+{END}-2", "W:{A}-3"}),
       macro({"w:{home}-1", "w:^+{end}-2", "w:{a}-3"})},
      {"the last line without CR LF is lost", "w:{A}-1\r\nw:{B}-2", "w:{a}-1\r\n"},
      {"empty lines go", "a\r\n\r\n\r\nb\r\n", "a\r\nb\r\n"},
      {"empty", "", ""},
      {"no CR LF at all", "m:1, 1-1", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(processRecording(c.text), c.result) << c.what;
}

TEST(StopProcessing, StopTwice) {
  struct Case {
    const char* what;
    Lines recorded, once, twice;
  };
  const Case cases[] = {
      {"one step between start and end is lone the second time",
       {"m:0, 0-0", "t:1, 1-1", "t:2, 2-2", "t:3, 3-3", "m:4, 4-4"},
       {"m:0, 0-0", "q:1, 1-1", "t:2, 2-2", "u:3, 3-3", "m:4, 4-4"},
       {"m:0, 0-0", "q:1, 1-1", "u:3, 3-3", "m:4, 4-4"}},
      {"two steps become a second start and end",
       {"m:0, 0-0", "t:1, 1-1", "t:2, 2-2", "t:3, 3-3", "t:4, 4-4", "m:5, 5-5"},
       {"m:0, 0-0", "q:1, 1-1", "t:2, 2-2", "t:3, 3-3", "u:4, 4-4", "m:5, 5-5"},
       {"m:0, 0-0", "q:1, 1-1", "q:2, 2-2", "u:3, 3-3", "u:4, 4-4", "m:5, 5-5"}},
  };
  for (const Case& c : cases) {
    SimProgram p;
    p.form().Text1.setText(macro(c.recorded));
    p.program.recording.Stop();
    EXPECT_EQ(p.text(), macro(c.once)) << c.what;
    p.program.recording.Stop();
    EXPECT_EQ(p.text(), macro(c.twice)) << c.what;
  }
}

TEST(Recording, RecordAndStopSwitchButtonsAndSamplers) {
  SimProgram p;
  Form1& f = p.form();
  f.Text1.setText("old\r\n");
  f.Text1.setTag("Macro-AM-x.txt");
  f.Command1.click();
  EXPECT_EQ(p.text(), "");
  EXPECT_FALSE(f.Command1.enabled());
  EXPECT_FALSE(f.Command2.enabled());
  EXPECT_TRUE(f.Command5.enabled());
  EXPECT_TRUE(f.Timer1.running());
  EXPECT_TRUE(f.Timer4.running());
  EXPECT_EQ(f.Text1.tag(), "Macro-AM-x.txt");
  p.run(10);
  EXPECT_TRUE(f.Command2.enabled()) << "the first line enables Play";

  f.Command5.click();
  EXPECT_TRUE(f.Command1.enabled());
  EXPECT_TRUE(f.Command2.enabled());
  EXPECT_FALSE(f.Command5.enabled());
  EXPECT_FALSE(f.Timer1.running());
  EXPECT_FALSE(f.Timer4.running());
  EXPECT_TRUE(f.stopRequested());
  EXPECT_EQ(p.text(), "m:0, 0-10\r\n");
}

TEST(Recording, NothingCapturedNothingToSave) {
  SimProgram p;
  p.form().Command1.click();
  p.form().Command5.click();
  EXPECT_EQ(p.text(), "");
  p.form().Text2.setText("name");
  p.form().Command4.click();
  ASSERT_EQ(p.sim.messages().size(), 1u);
  EXPECT_EQ(p.sim.messages()[0].text, "Please Record a Macro ");
  EXPECT_EQ(p.sim.messages()[0].title, "Quillbarrow 4.1");
}

TEST(Recording, PlayDuringARecordingEndsItWithoutProcessing) {
  SimProgram p;
  Form1& f = p.form();
  f.Command1.click();
  p.sim.moveCursor({5, 6});
  p.run(15);
  p.tap('A');
  bool timer1During = true, timer4During = false;
  p.sim.loop().at(20, [&] {
    timer1During = f.Timer1.running();
    timer4During = f.Timer4.running();
    p.tap('B');  // the hook does not record while a play runs
  });
  f.Command2.click();
  EXPECT_FALSE(timer1During);
  EXPECT_TRUE(timer4During);
  EXPECT_FALSE(f.Timer4.running());
  EXPECT_TRUE(f.Command1.enabled());
  EXPECT_TRUE(f.Command5.enabled());
  EXPECT_EQ(p.text(), "m:5, 6-10\r\nw:{A}-15\r\n");
  f.Command5.click();
  EXPECT_EQ(p.text(), "m:5, 6-10\r\nw:{a}-15\r\n");
}

TEST(Recording, StopYieldsWhileItProcessesALongRecording) {
  SimProgram p;
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "m:" + std::to_string(i) + ", 1-" + std::to_string(i) + "\r\n";
  p.form().Text1.setText(text);
  bool stopReturned = false, ranDuringStop = false;
  p.sim.loop().post([&] {
    ranDuringStop = !stopReturned;
    // A recording started meanwhile keeps its own text.
    p.form().Command1.click();
    p.form().Text1.append("W:{A}-1\r\n");
  });
  p.program.recording.Stop();
  stopReturned = true;
  EXPECT_TRUE(ranDuringStop);
  EXPECT_TRUE(p.text() == "W:{A}-1\r\n");
}

TEST(Recording, StopSurvivesTheTextBeingReplacedWhileItWorks) {
  // A macro selected in the list while Stop processes a long recording replaces the field's
  // text (and its storage); Stop must not go on reading the old one, and leaves the new alone.
  SimProgram p;
  const std::string selected = macro({"w:{b}-1", "m:2, 3-4"}) + std::string(70000, ' ');
  p.folder.writeFile("Macro-other.txt", selected);
  p.form().Textload.setText("refill");
  ASSERT_EQ(p.form().List1.items(), Lines{"Macro-other.txt"});
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "t:" + std::to_string(i) + ", 1-" + std::to_string(i) + "\r\n";
  p.form().Text1.setText(text);
  p.sim.loop().post([&] { p.form().List1.clickItem(0); });
  p.program.recording.Stop();
  EXPECT_TRUE(p.text() == selected);
}

class SaveMacro : public ::testing::Test {
 protected:
  void save(const std::string& name, const std::string& text) {
    p.form().Text2.setText(name);
    p.form().Text1.setText(text);
    p.form().Command4.click();
  }
  std::string file(const std::string& name) {
    return readWholeFile(p.folder.path() + "/" + name).value_or("<missing>");
  }
  SimProgram p;
};

TEST_F(SaveMacro, WritesTheTrimmedTextAndListsIt) {
  save(" Report ", "  w:{a}-1\r\nm:1, 2-3\r\n  ");
  EXPECT_EQ(file("Macro- Report .txt"), "w:{a}-1\r\nm:1, 2-3\r\n\r\n");
  EXPECT_EQ(p.form().List1.items(), Lines{"Macro- Report .txt"});
  EXPECT_EQ(p.form().Text1.text(), "");
  EXPECT_EQ(p.form().Text2.text(), "");
  EXPECT_TRUE(p.sim.messages().empty());

  save(" Report ", "w:{b}-1\r\n");
  EXPECT_EQ(file("Macro- Report .txt"), "w:{b}-1\r\n\r\n");
  EXPECT_EQ(p.form().List1.items(), (Lines{"Macro- Report .txt", "Macro- Report .txt"}));
}

TEST_F(SaveMacro, RefusesWhatCannotBeSavedAndKeepsEverything) {
  struct Case {
    std::string name;
    std::string message;  // its beginning
  };
  const Case cases[] = {
      {"  ", "Please Enter a Macro Name"},
      {"../outside",
       "The macro cannot be saved as \"Macro-../outside.txt\": a file name cannot contain /"},
      {"a\\b", "The macro cannot be saved as \"Macro-a\\b.txt\": a file name cannot contain \\"},
      {"x:y", "The macro cannot be saved as"},
      {"tab\there", "The macro cannot be saved as"},
      {std::string(300, 'n'), "The macro cannot be saved as"},
  };
  for (const Case& c : cases) {
    save(c.name, "w:{a}-1\r\n");
    ASSERT_FALSE(p.sim.messages().empty());
    EXPECT_EQ(p.sim.messages().back().text.substr(0, c.message.size()), c.message) << c.name;
    EXPECT_EQ(p.form().Text1.text(), "w:{a}-1\r\n");
    EXPECT_EQ(p.form().Text2.text(), c.name);
  }
  EXPECT_TRUE(p.form().List1.items().empty());
  EXPECT_TRUE(std::filesystem::is_empty(p.folder.path()));
  EXPECT_FALSE(std::filesystem::exists(p.folder.path() + "/../outside.txt"));
}

TEST_F(SaveMacro, AFailedWriteSaysWhichFileAndWhy) {
  const std::string folder = p.folder.pathOf("gone");
  p.program.library.setFolder(folder);
  save("Test", "w:{a}-1\r\n");
  ASSERT_EQ(p.sim.messages().size(), 1u);
  // The reason is the system's own words for a missing folder.
#ifdef _WIN32
  const std::string reason = std::system_category().message(3);  // ERROR_PATH_NOT_FOUND
#else
  const std::string reason = "No such file or directory";
#endif
  EXPECT_EQ(p.sim.messages()[0].text,
            "The macro could not be saved: " + joinPath(folder, "Macro-Test.txt") + ": " + reason);
  EXPECT_EQ(p.form().Text1.text(), "w:{a}-1\r\n");
  EXPECT_EQ(p.form().Text2.text(), "Test");
  EXPECT_TRUE(p.form().List1.items().empty());
}

}  // namespace
}  // namespace qb
