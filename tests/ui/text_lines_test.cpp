// The line index the text fields keep over a text they do not own: after every kind of edit it
// must agree with the text split afresh, and caret steps must never land inside a character or
// a CR LF.

#include "ui/text/text_lines.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace qb::ui {
namespace {

constexpr std::size_t kStride = TextLines::kStride;

// Where each line starts and ends (before its line break), found the slow way.
struct Split {
  std::vector<std::size_t> starts, ends;
};
Split split(const std::string& text) {
  Split s;
  std::size_t start = 0;
  for (;;) {
    s.starts.push_back(start);
    const std::size_t lf = text.find('\n', start);
    if (lf == std::string::npos) {
      s.ends.push_back(text.size());
      return s;
    }
    s.ends.push_back(lf > start && text[lf - 1] == '\r' ? lf - 1 : lf);
    start = lf + 1;
  }
}

std::string numberedLines(std::size_t count, const char* lineBreak = "\r\n") {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text += "line " + std::to_string(i) + lineBreak;
  return text;
}

// A text and its index, edited as a field's owner edits: change the text, then tell the index.
class Indexed : public ::testing::Test {
 protected:
  void load(std::string text) {
    text_ = std::move(text);
    lines_.setSource(&text_);
  }
  bool replace(std::size_t from, std::size_t count, const std::string& with) {
    text_.replace(from, count, with);
    return lines_.replaced(from, count, with.size());
  }
  // Every line's start and end, and the line of every offset, as the slow split has them.
  void expectAgreesWithText() {
    const Split s = split(text_);
    ASSERT_EQ(lines_.lineCount(), s.starts.size());
    ASSERT_EQ(lines_.size(), text_.size());
    for (std::size_t line = 0; line < s.starts.size(); ++line) {
      ASSERT_EQ(lines_.lineStart(line), s.starts[line]) << "line " << line;
      ASSERT_EQ(lines_.lineEnd(line), s.ends[line]) << "line " << line;
    }
    std::size_t line = 0;
    for (std::size_t at = 0; at <= text_.size(); ++at) {
      while (line + 1 < s.starts.size() && s.starts[line + 1] <= at) ++line;
      ASSERT_EQ(lines_.lineOf(at), line) << "offset " << at;
    }
  }

  std::string text_;
  TextLines lines_;
};

TEST_F(Indexed, ANewTextIsSplitAtEveryLineBreakWhicheverKind) {
  for (const std::string& text :
       {std::string(), std::string("one"), std::string("\r\n"), std::string("a\nb\r\nc"),
        std::string("\n\n\r\n"), std::string("lone\rcr\r\n"), numberedLines(kStride),
        numberedLines(kStride * 3 + 1, "\n"), numberedLines(kStride - 1)}) {
    SCOPED_TRACE(text.substr(0, 40));
    load(text);
    expectAgreesWithText();
  }
}

TEST_F(Indexed, NoSourceIsOneEmptyLine) {
  lines_.setSource(nullptr);
  EXPECT_EQ(lines_.lineCount(), 1u);
  EXPECT_EQ(lines_.lineStart(0), 0u);
  EXPECT_EQ(lines_.lineEnd(0), 0u);
  EXPECT_EQ(lines_.lineText(0), "");
}

// Edits placed around the checkpoints: the lines of a block, and of the blocks after it, must
// move with them.
TEST_F(Indexed, EditsAcrossCheckpointsKeepEveryLineWhereItIs) {
  struct Case {
    const char* what;
    std::size_t line;  // the edit starts at this line's start, plus `column`
    std::size_t column;
    std::size_t removedLines;  // whole lines removed from there (with `removedBytes` more)
    std::size_t removedBytes;
    std::string inserted;
  };
  const std::vector<Case> cases = {
      {"line breaks typed just before a checkpoint", kStride - 1, 2, 0, 0, "\r\n\r\nx\r\n"},
      {"a line break typed at a checkpoint", kStride, 0, 0, 0, "\r\n"},
      {"lines removed across two checkpoints", kStride - 2, 1, kStride + 3, 2, ""},
      {"a line joined to the one before at a checkpoint", kStride - 1, 7, 0, 2, ""},
      {"text without breaks replacing lines in the first block", 3, 0, 5, 0, "joined"},
      {"many lines pasted into the first line", 0, 1, 0, 0, numberedLines(kStride * 2 + 5)},
      {"an edit in the last block", kStride * 3, 4, 0, 3, "x\ny"},
      {"the last line break removed", kStride * 3 + 9, 0, 0, 2, ""},
      {"everything removed", 0, 0, kStride * 3 + 10, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    load(numberedLines(kStride * 3 + 10));
    const std::size_t from = split(text_).starts[c.line] + c.column;
    std::size_t count = c.removedBytes;
    if (c.removedLines > 0) {
      const std::size_t last = std::min(c.line + c.removedLines, split(text_).starts.size() - 1);
      count = split(text_).starts[last] - from + c.removedBytes;
    }
    count = std::min(count, text_.size() - from);
    EXPECT_TRUE(replace(from, count, c.inserted));
    expectAgreesWithText();
  }
}

TEST_F(Indexed, ManyRandomEditsLeaveTheSameIndexAsANewText) {
  std::mt19937 random(7);
  load(numberedLines(kStride * 4, "\n"));
  const std::vector<std::string> pieces = {
      "", "\r\n", "\n", "x", "é", "a\r\nb\r\n", numberedLines(kStride + 1)};
  for (int round = 0; round < 200; ++round) {
    const std::size_t from = random() % (text_.size() + 1);
    const std::size_t count = std::min<std::size_t>(random() % 300, text_.size() - from);
    ASSERT_TRUE(replace(from, count, pieces[random() % pieces.size()]));
    if (round % 20 == 0) expectAgreesWithText();
  }
  expectAgreesWithText();
  // The widest line only grows between new texts, but is never narrower than a line.
  const Split s = split(text_);
  for (std::size_t line = 0; line < s.starts.size(); ++line)
    ASSERT_GE(lines_.widestLine(), s.ends[line] - s.starts[line]);
}

TEST_F(Indexed, AChangeNotToldIsIndexedAfresh) {
  load(numberedLines(kStride * 2));
  text_ += "more\r\nlines\r\n";  // changed behind the index's back
  EXPECT_FALSE(lines_.replaced(0, 0, 3));
  expectAgreesWithText();
  text_.insert(0, "\n");
  EXPECT_FALSE(lines_.replaced(text_.size() + 5, 0, 1));  // past the end
  expectAgreesWithText();
}

TEST_F(Indexed, ALineEndsBeforeItsCrLfButALoneCrIsText) {
  load("ab\r\ncd\re\n\r\n");
  EXPECT_EQ(lines_.lineText(0), "ab");
  EXPECT_EQ(lines_.lineText(1), "cd\re");
  EXPECT_EQ(lines_.lineText(2), "");
  EXPECT_EQ(lines_.lineText(3), "");
  EXPECT_EQ(lines_.lineText(4), "");  // past the last line
  EXPECT_EQ(lines_.lineCount(), 4u);
}

TEST_F(Indexed, CaretStepsGoOverWholeCharactersAndWholeCrLfs) {
  // "a" "é" (2 bytes) CR LF "€" (3 bytes) "😀" (4 bytes) LF "z"
  load("a\xC3\xA9\r\n\xE2\x82\xAC\xF0\x9F\x98\x80\nz");
  const std::vector<std::size_t> stops = {0, 1, 3, 5, 8, 12, 13, 14};
  for (std::size_t i = 0; i + 1 < stops.size(); ++i) {
    EXPECT_EQ(lines_.nextPosition(stops[i]), stops[i + 1]) << stops[i];
    EXPECT_EQ(lines_.previousPosition(stops[i + 1]), stops[i]) << stops[i + 1];
  }
  EXPECT_EQ(lines_.nextPosition(14), 14u);
  EXPECT_EQ(lines_.previousPosition(0), 0u);
  // Every offset snaps back to the stop at or before it.
  for (std::size_t at = 0, stop = 0; at <= 20; ++at) {
    while (stop + 1 < stops.size() && stops[stop + 1] <= at) ++stop;
    EXPECT_EQ(lines_.snap(at), stops[stop]) << at;
  }
}

TEST_F(Indexed, WordStepsStopAtWordStartsAndCrossLineBreaksOneAtATime) {
  load("m:click, 12-34\r\n  w:{ä}\r\n");
  // Forward: past the word and the gap after it; at a line's end, over the line break.
  const std::vector<std::size_t> forward = {0, 2, 9, 12, 14, 16, 18, 21, 24, 26, 26};
  for (std::size_t i = 0; i + 1 < forward.size(); ++i)
    EXPECT_EQ(lines_.nextWord(forward[i]), forward[i + 1]) << forward[i];
  const std::vector<std::size_t> backward = {26, 24, 21, 18, 16, 14, 12, 9, 2, 0, 0};
  for (std::size_t i = 0; i + 1 < backward.size(); ++i)
    EXPECT_EQ(lines_.previousWord(backward[i]), backward[i + 1]) << backward[i];

  struct Word {
    std::size_t at, first, second;
  };
  for (const Word& w : {Word{4, 2, 7}, Word{2, 2, 7}, Word{7, 2, 7}, Word{8, 8, 8},
                        Word{22, 21, 23}, Word{14, 12, 14}, Word{16, 16, 16}}) {
    const auto [first, second] = lines_.wordAt(w.at);
    EXPECT_EQ(first, w.first) << w.at;
    EXPECT_EQ(second, w.second) << w.at;
  }
}

TEST(ShiftedPosition, PositionsMoveWithTheTextAroundAReplacedRange) {
  struct Case {
    std::size_t at, expected;
  };
  // 4 bytes from 10 become 7.
  for (const Case& c : {Case{3, 3}, Case{10, 10}, Case{12, 17}, Case{14, 17}, Case{20, 23}})
    EXPECT_EQ(shiftedPosition(c.at, 10, 4, 7), c.expected) << c.at;
}

TEST(LineBreaks, ClipboardTextComesInWithCrLfAndGoesOutWithLf) {
  struct Case {
    std::string in, crlf;
  };
  for (const Case& c : {Case{"a\nb", "a\r\nb"}, Case{"a\r\nb\r\n", "a\r\nb\r\n"},
                        Case{"a\rb", "a\r\nb"}, Case{"\n\r\n\r", "\r\n\r\n\r\n"},
                        Case{"\r\r\n", "\r\n\r\n"}, Case{"", ""}, Case{"é€", "é€"}})
    EXPECT_EQ(withCrLf(c.in), c.crlf) << c.in;
  EXPECT_EQ(withLf("a\r\nb\rc\n\r\n"), "a\nb\rc\n\n");
}

}  // namespace
}  // namespace qb::ui
