#pragma once
// A generic Win32 view of a form model: one native control per model control at the
// control's twip layout, kept in step with the model, and user actions passed back to the
// model. Everything a window does stays in the model; this file only draws and forwards.

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "forms/control.h"
#include "forms/form.h"

namespace qb::forms {
class ListBox;
class TextBox;
class MenuItem;
}  // namespace qb::forms

namespace qb::ui {

class Win32TextArea;

class Win32FormView final : public forms::FormView {
 public:
  explicit Win32FormView(forms::Form& form);
  ~Win32FormView() override;
  Win32FormView(const Win32FormView&) = delete;
  Win32FormView& operator=(const Win32FormView&) = delete;

  HWND window() const { return window_; }
  // The native control of a model control, or null (timers and menu items have none).
  HWND control(const forms::Control& control) const;
  void controlChanged(forms::Control& control, forms::Property property) override;
  void formChanged(forms::Form& form, forms::Property property) override;

  // The keys a dialog box handles itself, for the windows of every view: Tab and the arrows
  // between controls, Enter for the focused or the default button, Escape for the cancel
  // button. True when the message was taken.
  static bool handleDialogKey(MSG& message);

 private:
  struct Native {
    HWND window = nullptr;
    int id = 0;
    std::unique_ptr<Win32TextArea> area;  // a multi-line text box
  };

  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK controlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR subclass, DWORD_PTR data);
  static Win32FormView* ofWindow(HWND window);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  // A control's own message, seen before the control's procedure; true when taken.
  bool controlMessage(forms::Control& control, HWND window, UINT message, WPARAM wParam,
                      LPARAM lParam, LRESULT& result);
  void command(int id, int code, HWND from);
  LRESULT colorOf(HDC dc, HWND control);
  bool pressKey(int key);
  // Checks an unchecked option button of this window the arrow keys moved the focus to.
  void optionReached(HWND focus);

  void build();
  void createMenu();
  Native createControl(forms::Control& control, HWND parent, int id, bool startsGroup);
  RECT rectOf(const forms::Control& control) const;
  void place(forms::Control& control);
  void refresh(forms::Control& control, forms::Property property);
  void refreshText(forms::TextBox& model, HWND edit);
  void fitDropDown(HWND combo);
  void refreshList(forms::ListBox& model, HWND list, bool items);
  void textEdited(forms::TextBox& model, std::string text);
  void listSelectionChanged(forms::ListBox& model, HWND list);
  void layoutWindow();
  void makeFonts();
  // The dialog font at `quarterPoints` / 4 points, made once.
  HFONT font(int quarterPoints, bool underline, bool fixedPitch);
  HFONT fontFor(const forms::Control& control);
  // Sets the control's font: the dialog font, or a smaller one down to 6 points when its
  // caption would not fit at that size (the layouts were made for a narrower font).
  void fitText(forms::Control& control, HWND window);
  int px(int twips) const;

  forms::Form& form_;
  HWND window_ = nullptr;
  HMENU menu_ = nullptr;
  UINT dpi_ = 96;
  std::map<int, HFONT> fonts_;
  std::map<forms::Control*, Native> natives_;
  std::map<int, forms::Control*> byId_;
  std::map<int, forms::MenuItem*> menuItems_;
  // Set false when the view goes, so a handler that closed the window can tell.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool updating_ = false;           // model-to-control updates must not echo back as user edits
  forms::Control* echo_ = nullptr;  // the text box whose own edit the model is taking in
  // A list whose selection changed during the mouse press now being handled: the release
  // that ends the press is that selection, not another click.
  HWND selectedByPress_ = nullptr;
  HWND focus_ = nullptr;  // the control that had the focus when the window was last left
};

}  // namespace qb::ui
