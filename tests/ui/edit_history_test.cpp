// Undo and redo of a text field: what each step hands back must turn the text into what it was,
// typing undoes in runs, and a text changed meanwhile is never "undone" into something else.

#include "ui/text/edit_history.h"

#include <gtest/gtest.h>

#include <string>

namespace qb::ui {
namespace {

// A text edited as a field edits its owner's text: each edit is applied, then made known.
class History : public ::testing::Test {
 protected:
  void edit(std::size_t from, std::size_t count, std::string with, bool typing = false) {
    TextChange change{from, text.substr(from, count), with};
    text.replace(from, count, with);
    history.made(std::move(change), text, typing);
  }
  void type(const std::string& characters) {
    for (const char c : characters) edit(caret++, 0, std::string(1, c), true);
  }
  // Applies one undo (or redo) step; false when there was none.
  bool step(bool redo) {
    const auto edit = history.step(redo, text);
    if (!edit) return false;
    text.replace(edit->from, edit->count, edit->text);
    return true;
  }

  std::string text = "m:1, 2\r\n";
  std::size_t caret = 8;
  EditHistory history;
};

TEST_F(History, UndoAndRedoWalkBackAndForthThroughTheEdits) {
  edit(0, 1, "w");       // "w:1, 2\r\n"
  edit(8, 0, "x\r\ny");  // "w:1, 2\r\nx\r\ny"
  edit(2, 4, "");        // "w:\r\nx\r\ny"
  const std::vector<std::string> states = {"m:1, 2\r\n", "w:1, 2\r\n", "w:1, 2\r\nx\r\ny",
                                           "w:\r\nx\r\ny"};
  for (std::size_t i = states.size() - 1; i > 0; --i) {
    ASSERT_TRUE(step(false));
    EXPECT_EQ(text, states[i - 1]);
  }
  EXPECT_FALSE(step(false));
  EXPECT_TRUE(history.canRedo());
  for (std::size_t i = 1; i < states.size(); ++i) {
    ASSERT_TRUE(step(true));
    EXPECT_EQ(text, states[i]);
  }
  EXPECT_FALSE(step(true));
}

TEST_F(History, TypingUndoesInRunsThatANonTypedEditOrAJumpEnds) {
  type("abc");
  type("def");
  edit(0, 0, "X");  // a paste at the start: a change of its own
  caret += 1;
  type("gh");
  ASSERT_TRUE(step(false));
  EXPECT_EQ(text, "Xm:1, 2\r\nabcdef");
  ASSERT_TRUE(step(false));
  EXPECT_EQ(text, "m:1, 2\r\nabcdef");
  ASSERT_TRUE(step(false));
  EXPECT_EQ(text, "m:1, 2\r\n");

  // Typing elsewhere than right after the last typed run starts a new run.
  caret = text.size();
  type("ab");
  caret = 0;
  type("z");
  ASSERT_TRUE(step(false));
  EXPECT_EQ(text, "m:1, 2\r\nab");
}

TEST_F(History, ALongTypedRunUndoesInPieces) {
  type(std::string(EditHistory::kMergedTyping + 10, 'k'));
  ASSERT_TRUE(step(false));
  EXPECT_EQ(text, "m:1, 2\r\n" + std::string(EditHistory::kMergedTyping, 'k'));
  ASSERT_TRUE(step(false));
  EXPECT_EQ(text, "m:1, 2\r\n");
}

TEST_F(History, ANewEditForgetsRedo) {
  edit(0, 1, "w");
  ASSERT_TRUE(step(false));
  edit(1, 1, ";");
  EXPECT_FALSE(history.canRedo());
  EXPECT_FALSE(step(true));
  EXPECT_EQ(text, "m;1, 2\r\n");
}

TEST_F(History, AnEditTheOwnerMadeSomethingElseOfIsNotKept) {
  TextChange change{0, "m", "w"};
  text.replace(0, 1, "W");  // the owner took "w" as "W"
  history.made(change, text, false);
  EXPECT_FALSE(history.canUndo());
}

TEST_F(History, AStepOverTextChangedMeanwhileIsDroppedNotApplied) {
  edit(8, 0, "abc");
  text = "short";  // a whole new text from elsewhere
  EXPECT_FALSE(step(false));
  EXPECT_EQ(text, "short");
  EXPECT_FALSE(history.canUndo());
  EXPECT_FALSE(history.canRedo());
}

}  // namespace
}  // namespace qb::ui
