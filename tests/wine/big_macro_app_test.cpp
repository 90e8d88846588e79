// A macro of a million lines chosen in the recorder's list: the window keeps answering while it
// loads, Ctrl+End in the macro field shows its end, and a key typed there lands at the end.
// The times are printed for the record, not held to.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <thread>

#include "recorder_window.h"
#include "tests/support/recording_text.h"

namespace qb::winetest {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kLines = 1'000'000;

class BigMacroApp : public RecorderWindowTest {};

TEST_F(BigMacroApp, AMillionLineMacroLoadsWhileTheWindowAnswersAndTakesAKeyAtItsEnd) {
  const std::string macro = testsupport::recordingText(kLines, 100, 100);
  writeMacro("Macro-big.txt", macro);
  startRecorder();
  click(recorder_.handle, "&Options");  // the macro field shown whole
  ASSERT_TRUE(waitFor([&] { return oneLineFields(recorder_.handle).size() == 2; }));
  recorder_ = *inspector().window(kRecorderTitle);
  const auto field = multiLineField(recorder_.handle);
  const auto record = control("Record");
  const auto list = macroList();
  ASSERT_TRUE(waitFor([&] { return inspector().items(list.handle).size() == 1; }));

  // While it loads, a button's text is asked for again and again: a window that stopped
  // answering gives none (the inspector gives up on a window that is not answering after two
  // seconds).
  const auto chosen = Clock::now();
  clickEntry(list, 0);
  std::vector<long long> answers;  // milliseconds
  long long length = 0;
  while (Clock::now() - chosen < 120s) {
    const auto asked = Clock::now();
    const std::string shown = text(record);
    answers.push_back(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked).count());
    ASSERT_EQ(shown, "Record")
        << "the window did not answer "
        << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - chosen).count()
        << " ms after the macro was chosen";
    length = inspector().textLength(field.handle);
    if (length == static_cast<long long>(macro.size())) break;
    std::this_thread::sleep_for(100ms);
  }
  const long long loaded =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - chosen).count();
  ASSERT_EQ(length, static_cast<long long>(macro.size())) << "not loaded in two minutes";
  std::sort(answers.begin(), answers.end());
  std::printf(
      "[ figures  ] %zu lines, %zu bytes: shown whole %lld ms after the click; %zu "
      "answers while loading: median %lld ms, slowest %lld ms\n",
      kLines, macro.size(), loaded, answers.size(), answers[answers.size() / 2], answers.back());

  // Ctrl+End shows the end; a key typed there lands after the last line.
  click(field);
  const auto keyed = Clock::now();
  chord({"Control_L"}, "End");
  type("Z");
  ASSERT_TRUE(waitFor(
      [&] {
        return inspector().textLength(field.handle) == static_cast<long long>(macro.size()) + 1;
      },
      30s))
      << inspector().textLength(field.handle);
  std::printf(
      "[ figures  ] Ctrl+End and a key: %lld ms until the field held it\n",
      static_cast<long long>(
          std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - keyed).count()));
  screenshot(recorder_, "big-macro-end");
  const std::string all = text(field);
  ASSERT_EQ(all.size(), macro.size() + 1);
  EXPECT_EQ(all.substr(all.size() - 22), macro.substr(macro.size() - 21) + "Z");
  EXPECT_TRUE(all.compare(0, macro.size(), macro) == 0) << "the text changed before its end";
}

}  // namespace
}  // namespace qb::winetest
