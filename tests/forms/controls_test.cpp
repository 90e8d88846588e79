#include "forms/controls.h"

#include <gtest/gtest.h>

#include <optional>

#include "forms/form.h"
#include "forms/list_controls.h"
#include "forms/timer.h"
#include "platform/sim/sim_event_loop.h"

namespace qb::forms {
namespace {

struct Fixture {
  platform::sim::SimEventLoop loop;
  Form form{"F", "F", loop};
};

TEST(Controls, TextChangeFiresOnlyOnANewTextAndInsideTheWrite) {
  Fixture f;
  TextBox box(f.form, "Text1");
  std::vector<std::string> seen;
  box.onChange = [&] { seen.push_back(box.text()); };
  box.setText("a");
  box.setText("a");
  box.append("b");
  box.append("");
  box.setText("");
  EXPECT_EQ(seen, (std::vector<std::string>{"a", "ab", ""}));
  EXPECT_EQ(box.changeCount(), 3u);
}

TEST(Controls, AReplacedRangeChangesTheTextInPlaceAndTellsTheViewWhatChanged) {
  struct Case {
    std::string before;
    std::size_t from, count;
    std::string with;
    std::string after;
    std::optional<TextBox::Edit> edit;  // empty: nothing changed, nothing fired
    std::size_t appendOffset;
  };
  constexpr auto npos = std::string::npos;
  const Case cases[] = {
      {"ab\r\ncd", 1, 0, "x", "axb\r\ncd", TextBox::Edit{1, 0, 1}, npos},
      {"ab\r\ncd", 1, 3, "", "acd", TextBox::Edit{1, 3, 0}, npos},
      {"ab\r\ncd", 0, 6, "z", "z", TextBox::Edit{0, 6, 1}, npos},
      {"ab", 2, 0, "\r\n", "ab\r\n", TextBox::Edit{2, 0, 2}, 2},  // at the end: an append
      {"ab", 9, 9, "c", "abc", TextBox::Edit{2, 0, 1}, 2},        // cut to the text
      {"ab", 0, 1, "a", "ab", std::nullopt, npos},                // the same text
  };
  for (const Case& c : cases) {
    Fixture f;
    TextBox box(f.form, "Text1", {}, true);
    box.setText(c.before);
    int fired = 0;
    box.onChange = [&] { ++fired; };
    box.replace(c.from, c.count, c.with);
    EXPECT_EQ(box.text(), c.after) << c.before << " " << c.from;
    EXPECT_EQ(fired, c.edit ? 1 : 0) << c.before << " " << c.from;
    if (c.edit) {
      EXPECT_EQ(box.lastEdit(), c.edit) << c.before << " " << c.from;
      EXPECT_EQ(box.lastAppendOffset(), c.appendOffset) << c.before << " " << c.from;
    }
  }
  // A new text as a whole is no range.
  Fixture f;
  TextBox box(f.form, "Text1", {}, true);
  box.append("ab");
  EXPECT_EQ(box.lastEdit(), (TextBox::Edit{0, 0, 2}));
  box.setText("cd");
  EXPECT_FALSE(box.lastEdit());
}

TEST(Controls, TextHandedOutStaysAsItWasWhateverTheBoxDoesNext) {
  Fixture f;
  TextBox box(f.form, "Text1", {}, true);
  box.setText("m:1,2-0\r\n");
  const auto played = box.sharedText();
  EXPECT_EQ(played.get(), box.sharedText().get());  // shared, not copied
  box.append("w:a-5\r\n");
  const auto second = box.sharedText();
  box.replace(0, 1, "M");
  const auto third = box.sharedText();
  box.setText("");
  EXPECT_EQ(*played, "m:1,2-0\r\n");
  EXPECT_EQ(*second, "m:1,2-0\r\nw:a-5\r\n");
  EXPECT_EQ(*third, "M:1,2-0\r\nw:a-5\r\n");
  EXPECT_EQ(box.text(), "");
}

TEST(Controls, CheckBoxAndOptionButtonsFireTheirClick) {
  Fixture f;
  CheckBox check(f.form, "Check1", "c");
  int clicks = 0;
  check.onClick = [&] { ++clicks; };
  check.setValue(1);
  check.setValue(1);  // unchanged: no click
  check.click();
  EXPECT_EQ(check.value(), 0);
  EXPECT_EQ(clicks, 2);

  OptionButton a(f.form, "A", "a", "g"), b(f.form, "B", "b", "g"), other(f.form, "C", "c", "h");
  a.setValue(true);
  other.setValue(true);
  b.click();
  EXPECT_FALSE(a.value());
  EXPECT_TRUE(b.value());
  EXPECT_TRUE(other.value());  // another group
}

TEST(Controls, DisabledButtonIgnoresClicks) {
  Fixture f;
  Button button(f.form, "Command1", "Go");
  int clicks = 0;
  button.onClick = [&] { ++clicks; };
  button.setEnabled(false);
  button.click();
  button.setEnabled(true);
  button.click();
  EXPECT_EQ(clicks, 1);
}

TEST(Controls, ListClickSelectsOneEntryAndRemovalKeepsIndicesRight) {
  Fixture f;
  ListBox list(f.form, "List1", {}, true);
  for (const char* item : {"a", "b", "c"}) list.addItem(item);
  list.setSelected(0, true);
  list.clickItem(2);
  EXPECT_FALSE(list.selected(0));
  EXPECT_TRUE(list.selected(2));
  list.removeItem(0);
  EXPECT_EQ(list.listIndex(), 1);
  EXPECT_TRUE(list.selected(1));
  EXPECT_EQ(list.items(), (std::vector<std::string>{"b", "c"}));
}

TEST(Controls, ASelectionFromTheViewIsAClickOnlyWhenSomethingChanged) {
  Fixture f;
  for (const bool multi : {false, true}) {
    ListBox list(f.form, multi ? "Multi" : "Single", {}, multi);
    for (const char* item : {"a", "b", "c"}) list.addItem(item);
    int clicks = 0;
    list.onClick = [&] { ++clicks; };
    list.selectFromView(1, {true, true, false});
    EXPECT_EQ(list.listIndex(), 1);
    EXPECT_EQ(list.selected(0), multi) << "a single-selection list keeps the current entry only";
    EXPECT_TRUE(list.selected(1));
    list.selectFromView(1, {multi, true, false});  // the same again: no click
    list.selectFromView(7, {});                    // beyond the list: nothing current
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_EQ(clicks, 1);
    list.setEnabled(false);
    list.selectFromView(2, {false, false, true});
    EXPECT_EQ(list.listIndex(), -1);
  }
}

TEST(Controls, EnterAndEscapePressTheShownDefaultAndCancelButtons) {
  Fixture f;
  Frame first(f.form, "First", ""), second(f.form, "Second", "");
  Button ok1(f.form, "Ok1", "OK"), cancel1(f.form, "Cancel1", "Cancel");
  Button ok2(f.form, "Ok2", "OK"), cancel2(f.form, "Cancel2", "Cancel");
  std::vector<std::string> pressed;
  for (Button* b : {&ok1, &cancel1, &ok2, &cancel2})
    b->onClick = [&, b] { pressed.push_back(b->name()); };
  ok1.setContainer(&first);
  cancel1.setContainer(&first);
  ok2.setContainer(&second);
  cancel2.setContainer(&second);
  ok1.setDefault(true);
  ok2.setDefault(true);
  cancel1.setCancel(true);
  cancel2.setCancel(true);
  first.setVisible(false);  // panels take turns: the hidden one's buttons do not answer
  EXPECT_TRUE(f.form.pressDefault());
  EXPECT_TRUE(f.form.pressCancel());
  ok2.setEnabled(false);
  EXPECT_FALSE(f.form.pressDefault());
  second.setVisible(false);
  EXPECT_FALSE(f.form.pressCancel());
  EXPECT_EQ(pressed, (std::vector<std::string>{"Ok2", "Cancel2"}));
}

TEST(Controls, TimerTicksOnTheEventLoopWhileRunning) {
  Fixture f;
  Timer timer(f.form, "Timer1", f.loop, 10);
  int ticks = 0;
  timer.onTimer = [&] { ++ticks; };
  timer.setRunning(true);
  f.loop.runUntil(55);
  timer.setRunning(false);
  f.loop.runUntil(200);
  EXPECT_EQ(ticks, 5);
}

TEST(Controls, ModalFormTurnsTheLoopUntilHidden) {
  Fixture f;
  f.loop.at(500, [&] { f.form.hide(); });
  f.form.showModal();
  EXPECT_FALSE(f.form.visible());
  EXPECT_EQ(f.loop.now(), 500);
}

}  // namespace
}  // namespace qb::forms
