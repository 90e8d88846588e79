#pragma once
// The hot keys window: twelve rows, F1 to F12, each a text and four options. Its fields are the
// program's table of hot keys: firing reads them as they stand.

#include <array>
#include <functional>
#include <memory>

#include "forms/controls.h"
#include "forms/form.h"
#include "platform/desktop.h"
#include "platform/settings.h"

namespace qb {

inline constexpr int kHotKeyRows = 12;

class Form2 : public forms::Form {
 public:
  explicit Form2(platform::Desktop& desktop, Settings& settings);

  // Row n (1 to 12): its text and its options 1C run a program, 2C play a macro, 3C send keys,
  // 4C require the left Ctrl key.
  forms::TextBox& text(int n) { return *Text1[static_cast<std::size_t>(n - 1)]; }
  forms::CheckBox& option(int column, int n) {
    return *Check[static_cast<std::size_t>(column - 1)][static_cast<std::size_t>(n - 1)];
  }
  // Fills every row from the settings store, letting pending events run before each row.
  void loadRows();

  // "&OK": stores all twelve rows, then hides this window and shows the main one.
  void storeRows();
  // "&Samples": says what the samples do and fills rows 9 to 12; nothing is stored.
  void fillSamples();
  // "&Clear": empties every row after the user says Yes; nothing is stored.
  void clearRows();
  // A double click on row n's text: empties it after the user says Yes.
  void askClearText(int n);

  // Set by the program: shows the main window; follows every change of a row.
  std::function<void()> showMainWindow;
  std::function<void()> onRowsChanged;

  std::array<std::unique_ptr<forms::TextBox>, kHotKeyRows> Text1;
  std::array<std::array<std::unique_ptr<forms::CheckBox>, kHotKeyRows>, 4> Check;
  std::array<std::unique_ptr<forms::Label>, kHotKeyRows> RowLabel;
  forms::Frame Frame1, Frame2, Frame3, Frame4;
  forms::Label Label2, Label3, Label4, Label5, Label10;
  forms::Button Command1, Command3, Command4, Command2;

 private:
  void rowsChanged();

  platform::Desktop& desktop_;
  Settings& settings_;
};

}  // namespace qb
