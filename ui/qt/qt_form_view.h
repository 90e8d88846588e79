#pragma once
// A generic Qt view of a form model: one native widget per control at the control's twip
// layout, kept in step with the model, and user actions passed back to the model. Everything
// a window does stays in the model; this file only draws and forwards.

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <map>

#include "forms/control.h"
#include "forms/form.h"

namespace qb::forms {
class ListBox;
class TextBox;
}  // namespace qb::forms

namespace qb::ui {

class QtFormView final : public QObject, public forms::FormView {
 public:
  explicit QtFormView(forms::Form& form);
  ~QtFormView() override;

  QWidget* window() const { return window_; }
  // The native widget of a control, or null (timers and menu items have none).
  QWidget* widget(const forms::Control& control) const;
  void controlChanged(forms::Control& control, forms::Property property) override;
  void formChanged(forms::Form& form, forms::Property property) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  QWidget* createWidget(forms::Control& control, QWidget* parent);
  // Where the model puts a control, in the window's pixels.
  QRect rectOf(forms::Control& control) const;
  void place(forms::Control& control, QWidget* widget);
  void refresh(forms::Control& control, forms::Property property);
  void refreshText(forms::TextBox& model, QWidget* widget);
  // What the user typed goes to the model, and is never written back to the widget it came
  // from unless the model made something else of it.
  void textEdited(forms::TextBox& model, std::string text);
  // The list widget's current entry and selection, however the user changed them, go to the
  // model as a selection.
  void listSelectionChanged(forms::ListBox& model, QWidget* list);
  QFont fontFor(forms::Control& control) const;
  void fitText(forms::Control& control, QWidget* widget);
  int px(int twips) const;

  forms::Form& form_;
  QPointer<QWidget> window_;
  QPointer<QWidget> menuBar_;
  int menuHeight_ = 0;
  std::map<forms::Control*, QPointer<QWidget>> widgets_;
  std::map<QObject*, forms::Control*> byWidget_;
  bool updating_ = false;           // model-to-widget updates must not echo back as user edits
  forms::Control* echo_ = nullptr;  // the text box whose own edit the model is taking in
  // A list whose selection changed during the mouse press now being handled: the click that
  // ends the press is that selection, not another.
  QObject* selectedByPress_ = nullptr;
};

}  // namespace qb::ui
