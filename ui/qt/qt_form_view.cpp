#include "ui/qt/qt_form_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "forms/controls.h"
#include "forms/list_controls.h"
#include "ui/qt/text_area.h"

namespace qb::ui {

namespace {

using forms::ControlKind;
using forms::Property;

// A window sized as a whole has the classic borders and caption around its client area: 4
// pixels a side and a 19-pixel caption, in twips. The menu bar is inside that size too.
constexpr int kBordersTwips = 120, kCaptionTwips = 285;
// The layouts were made for the classic 8-point dialog font, which is narrower than the fonts
// a Linux desktop has: a caption that does not fit its control is shrunk, down to this size,
// rather than cut.
constexpr double kPointSize = 8, kSmallestPointSize = 6;

QString qs(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
std::string bytes(const QString& text) {
  return text.toUtf8().toStdString();
}

// A top-level window whose close box asks the model instead of closing.
class FormWindow final : public QWidget {
 public:
  explicit FormWindow(forms::Form& form) : form_(form) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    form_.close();
  }

  // Keys the focused control leaves alone: Enter presses the focused button, else the default
  // button; Escape the cancel button.
  void keyPressEvent(QKeyEvent* event) override {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const int key = event->key();
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      if (auto* button = qobject_cast<QPushButton*>(focusWidget());
          button && button->isEnabled() && button->isVisible()) {
        button->click();
        return;
      }
      if (form_.pressDefault()) return;
    } else if (plain && key == Qt::Key_Escape) {
      if (form_.pressCancel()) return;
    }
    QWidget::keyPressEvent(event);
  }

 private:
  forms::Form& form_;
};

}  // namespace

QtFormView::QtFormView(forms::Form& form) : form_(form) {
  build();
  form_.setView(this);
}

QtFormView::~QtFormView() {
  if (form_.view() == this) form_.setView(nullptr);
  delete window_.data();
}

QWidget* QtFormView::widget(const forms::Control& control) const {
  const auto found = widgets_.find(const_cast<forms::Control*>(&control));
  return found == widgets_.end() ? nullptr : found->second.data();
}

int QtFormView::px(int twips) const {
  // 15 twips a pixel at 96 dots per inch, scaled with the screen.
  const QScreen* screen = window_ ? window_->screen() : nullptr;
  const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
  return static_cast<int>(twips * dpi / 1440.0 + 0.5);
}

void QtFormView::build() {
  window_ = new FormWindow(form_);
  window_->setWindowTitle(qs(form_.caption()));
  // The layouts are made for the classic 8-point dialog font.
  QFont font = window_->font();
  font.setFamilies({"Liberation Sans", "Arial", "Nimbus Sans", "Helvetica", font.family()});
  font.setPointSizeF(kPointSize);
  window_->setFont(font);

  std::map<std::string, QMenu*> menus;
  QMenuBar* bar = nullptr;
  for (forms::Control* c : form_.controls()) {
    if (c->kind() != ControlKind::MenuItem) continue;
    auto* item = static_cast<forms::MenuItem*>(c);
    if (!bar) bar = new QMenuBar(window_);
    QMenu*& menu = menus[item->menu()];
    if (!menu) menu = bar->addMenu(qs(item->menu()));
    if (item->caption().empty()) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(qs(item->caption()));
    QObject::connect(action, &QAction::triggered, this, [item] { item->click(); });
  }
  if (bar) {
    menuHeight_ = bar->sizeHint().height();
    menuBar_ = bar;
  }

  // Frames first, so the controls inside them have their parent.
  for (forms::Control* c : form_.controls())
    if (c->kind() == ControlKind::Frame) widgets_[c] = createWidget(*c, window_);
  for (forms::Control* c : form_.controls()) {
    if (c->kind() == ControlKind::Frame || c->kind() == ControlKind::MenuItem ||
        c->kind() == ControlKind::Timer)
      continue;
    QWidget* parent = window_;
    if (c->container()) parent = widgets_[c->container()];
    widgets_[c] = createWidget(*c, parent);
  }
  // A frame covers what lies behind it, as the classic windows drew them.
  for (auto& [control, widget] : widgets_)
    if (control->kind() == ControlKind::Frame) widget->raise();
  for (auto& [control, widget] : widgets_) {
    place(*control, widget);
    byWidget_[widget] = control;
    for (Property p : {Property::Text, Property::Caption, Property::Enabled, Property::Visible,
                       Property::Value, Property::Items, Property::Selection, Property::Style})
      refresh(*control, p);
  }
  formChanged(form_, Property::Layout);
}

QWidget* QtFormView::createWidget(forms::Control& control, QWidget* parent) {
  switch (control.kind()) {
    case ControlKind::TextBox: {
      auto& model = static_cast<forms::TextBox&>(control);
      if (model.multiLine()) {
        // Shows the model's own text, however long, and hands each edit back as a range.
        auto* area = new TextArea(parent);
        area->setReadOnly(model.readOnly());
        area->onEdit = [&model](std::size_t from, std::size_t count, std::string text) {
          model.replace(from, count, text);
        };
        area->viewport()->installEventFilter(this);
        byWidget_[area->viewport()] = &control;
        return area;
      }
      auto* edit = new QLineEdit(parent);
      QObject::connect(edit, &QLineEdit::textEdited, this,
                       [this, &model](const QString& t) { textEdited(model, bytes(t)); });
      edit->installEventFilter(this);
      return edit;
    }
    case ControlKind::Button: {
      auto* button = new QPushButton(parent);
      button->setAutoDefault(false);
      button->setDefault(static_cast<forms::Button&>(control).isDefault());
      QObject::connect(button, &QPushButton::clicked, this,
                       [&control] { static_cast<forms::Button&>(control).click(); });
      return button;
    }
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(parent);
      QObject::connect(box, &QCheckBox::clicked, this, [this, &control] {
        static_cast<forms::CheckBox&>(control).click();
        refresh(control, Property::Value);
      });
      return box;
    }
    case ControlKind::OptionButton: {
      auto* option = new QRadioButton(parent);
      option->setAutoExclusive(false);  // the model keeps the group
      QObject::connect(option, &QRadioButton::clicked, this, [this, &control] {
        static_cast<forms::OptionButton&>(control).click();
        refresh(control, Property::Value);
      });
      return option;
    }
    case ControlKind::ListBox: {
      auto& model = static_cast<forms::ListBox&>(control);
      auto* list = new QListWidget(parent);
      list->setSelectionMode(model.multiSelect() ? QAbstractItemView::ExtendedSelection
                                                 : QAbstractItemView::SingleSelection);
      const auto changed = [this, list, &model] {
        if (!updating_) listSelectionChanged(model, list);
      };
      QObject::connect(list, &QListWidget::itemSelectionChanged, this, changed);
      QObject::connect(list, &QListWidget::currentRowChanged, this, changed);
      // A click on the entry that is already current selects it again, as a click does.
      QObject::connect(list, &QListWidget::itemClicked, this,
                       [this, list, &model](QListWidgetItem* item) {
                         if (selectedByPress_ == list) {
                           selectedByPress_ = nullptr;
                           return;
                         }
                         model.clickItem(static_cast<std::size_t>(list->row(item)));
                       });
      list->viewport()->installEventFilter(this);
      byWidget_[list->viewport()] = &control;
      QObject::connect(list, &QListWidget::itemDoubleClicked, this,
                       [list, &model](QListWidgetItem* item) {
                         model.dblClickItem(static_cast<std::size_t>(list->row(item)));
                       });
      return list;
    }
    case ControlKind::ComboBox: {
      auto& model = static_cast<forms::ComboBox&>(control);
      auto* combo = new QComboBox(parent);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);  // Enter confirms the text, adds no entry
      QObject::connect(combo, &QComboBox::currentTextChanged, this,
                       [this, &model](const QString& t) {
                         if (!updating_) model.setText(bytes(t));
                       });
      return combo;
    }
    case ControlKind::Label: {
      auto* label = new QLabel(parent);
      label->setWordWrap(control.layout().height > 300);  // one-line labels never wrap
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // as the classic labels drew text
      // A label that does something when clicked reads as a link.
      if (static_cast<forms::Label&>(control).onClick) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::blue);
        label->setPalette(palette);
        label->setCursor(Qt::PointingHandCursor);
      }
      label->setMouseTracking(true);
      label->installEventFilter(this);
      return label;
    }
    case ControlKind::Frame:
      return new QGroupBox(parent);
    default:
      return new QWidget(parent);
  }
}

QRect QtFormView::rectOf(forms::Control& control) const {
  const forms::Rect& r = control.layout();
  const int top = control.container() ? px(r.top) : px(r.top) + menuHeight_;
  return QRect(px(r.left), top, px(r.width), px(r.height));
}

void QtFormView::place(forms::Control& control, QWidget* widget) {
  widget->setGeometry(rectOf(control));
  fitText(control, widget);
}

QFont QtFormView::fontFor(forms::Control& control) const {
  QFont font = window_->font();
  if (control.fixedPitch()) {
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(kPointSize);
  }
  if (control.kind() == ControlKind::Label)
    font.setUnderline(static_cast<forms::Label&>(control).underline());
  return font;
}

void QtFormView::fitText(forms::Control& control, QWidget* widget) {
  QFont font = fontFor(control);
  const auto fits = [&] {
    widget->setFont(font);
    const QFontMetrics metrics(font);
    if (auto* button = qobject_cast<QPushButton*>(widget))
      return metrics.horizontalAdvance(button->text().remove('&')) + 6 <= button->width();
    if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget))
      return widget->sizeHint().width() <= widget->width();
    if (auto* label = qobject_cast<QLabel*>(widget))
      return label->wordWrap() ? label->heightForWidth(label->width()) <= label->height()
                               : metrics.horizontalAdvance(label->text()) <= label->width();
    if (auto* frame = qobject_cast<QGroupBox*>(widget))
      return metrics.horizontalAdvance(frame->title()) + 8 <= frame->width();
    return true;
  };
  while (!fits() && font.pointSizeF() > kSmallestPointSize)
    font.setPointSizeF(font.pointSizeF() - 0.25);
  // A check box or option button lower than its own mark grows about its middle.
  if (qobject_cast<QCheckBox*>(widget) || qobject_cast<QRadioButton*>(widget)) {
    QRect rect = rectOf(control);
    const int needed = widget->sizeHint().height();
    if (needed > rect.height())
      rect.adjust(0, -(needed - rect.height()) / 2, 0,
                  needed - rect.height() - (needed - rect.height()) / 2);
    widget->setGeometry(rect);
  }
}

bool QtFormView::eventFilter(QObject* watched, QEvent* event) {
  const auto it = byWidget_.find(watched);
  if (it == byWidget_.end()) return QObject::eventFilter(watched, event);
  forms::Control& control = *it->second;
  if (control.kind() == ControlKind::Label) {
    auto& label = static_cast<forms::Label&>(control);
    if (event->type() == QEvent::MouseButtonRelease) label.click();
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
      if (label.onMouseMove) label.onMouseMove();
    }
  } else if (control.kind() == ControlKind::ListBox && event->type() == QEvent::MouseButtonPress) {
    selectedByPress_ = nullptr;  // a new press: nothing selected by it yet
  } else if (control.kind() == ControlKind::TextBox &&
             event->type() == QEvent::MouseButtonDblClick) {
    auto& box = static_cast<forms::TextBox&>(control);
    if (box.onDblClick) box.onDblClick();
  }
  return QObject::eventFilter(watched, event);
}

void QtFormView::controlChanged(forms::Control& control, forms::Property property) {
  refresh(control, property);
}

void QtFormView::refresh(forms::Control& control, forms::Property property) {
  const auto found = widgets_.find(&control);
  if (found == widgets_.end() || !found->second) return;
  QWidget* widget = found->second;
  const bool wasUpdating = updating_;
  updating_ = true;
  switch (property) {
    case Property::Enabled:
      widget->setEnabled(control.enabled());
      break;
    case Property::Visible:
      widget->setVisible(control.visible());
      break;
    case Property::Layout:
      place(control, widget);
      break;
    case Property::Style:
      fitText(control, widget);
      break;
    default:
      break;
  }
  switch (control.kind()) {
    case ControlKind::TextBox: {
      auto& model = static_cast<forms::TextBox&>(control);
      if (auto* area = dynamic_cast<TextArea*>(widget)) {
        // The field follows every change, its own edits too: it shows the model's text.
        if (property == Property::Text) {
          // An edit of a text someone else still shares is made on a copy: the field is then
          // shown the copy, never left on the old text.
          const auto& edit = model.lastEdit();
          if (edit && area->source() == &model.text())
            area->replaced(edit->from, edit->removed, edit->inserted);
          else
            area->setSource(&model.text());
        } else if (property == Property::Selection) {
          // The caret goes where the model put it, and the field shows it there.
          area->select(model.selectionStart(), model.selectionStart());
        }
      } else if (property == Property::Text && echo_ != &control) {
        refreshText(model, widget);
      }
      break;
    }
    case ControlKind::Button:
      if (property == Property::Caption) {
        static_cast<QPushButton*>(widget)->setText(
            qs(static_cast<forms::Button&>(control).caption()));
        fitText(control, widget);
      }
      break;
    case ControlKind::CheckBox: {
      auto& model = static_cast<forms::CheckBox&>(control);
      auto* box = static_cast<QCheckBox*>(widget);
      if (property == Property::Caption) {
        box->setText(qs(model.caption()));
        fitText(control, widget);
      }
      if (property == Property::Value)
        box->setCheckState(model.value() == 1   ? Qt::Checked
                           : model.value() == 2 ? Qt::PartiallyChecked
                                                : Qt::Unchecked);
      break;
    }
    case ControlKind::OptionButton: {
      auto& model = static_cast<forms::OptionButton&>(control);
      auto* option = static_cast<QRadioButton*>(widget);
      if (property == Property::Caption) {
        option->setText(qs(model.caption()));
        fitText(control, widget);
      }
      if (property == Property::Value) option->setChecked(model.value());
      break;
    }
    case ControlKind::ListBox: {
      auto& model = static_cast<forms::ListBox&>(control);
      auto* list = static_cast<QListWidget*>(widget);
      if (property == Property::Items) {
        list->clear();
        for (const auto& item : model.items()) list->addItem(qs(item));
      }
      if (property == Property::Items || property == Property::Selection) {
        // The keyboard goes on from the entry the model has as current.
        list->setCurrentRow(model.listIndex(), QItemSelectionModel::NoUpdate);
        for (int i = 0; i < list->count(); ++i)
          list->item(i)->setSelected(model.selected(static_cast<std::size_t>(i)));
      }
      break;
    }
    case ControlKind::ComboBox: {
      auto& model = static_cast<forms::ComboBox&>(control);
      auto* combo = static_cast<QComboBox*>(widget);
      if (property == Property::Items) {
        combo->clear();
        for (const auto& item : model.items()) combo->addItem(qs(item));
        combo->setEditText(qs(model.text()));
      }
      if (property == Property::Text && bytes(combo->currentText()) != model.text())
        combo->setEditText(qs(model.text()));
      break;
    }
    case ControlKind::Label: {
      auto& model = static_cast<forms::Label&>(control);
      auto* label = static_cast<QLabel*>(widget);
      if (property == Property::Caption) {
        label->setText(qs(model.caption()));
        fitText(control, widget);
      }
      break;
    }
    case ControlKind::Frame:
      if (property == Property::Caption || property == Property::Text) {
        static_cast<QGroupBox*>(widget)->setTitle(
            qs(static_cast<forms::Frame&>(control).caption()));
        fitText(control, widget);
      }
      break;
    default:
      break;
  }
  updating_ = wasUpdating;
}

void QtFormView::textEdited(forms::TextBox& model, std::string text) {
  QPointer<QtFormView> alive(this);
  forms::Control* const outer = echo_;
  echo_ = &model;
  const std::string typed = text;
  model.setText(std::move(text));
  if (!alive) return;  // the change closed the window
  echo_ = outer;
  // The model made something else of it (a handler rewrote the text): show what it holds.
  if (model.text() != typed) refresh(model, Property::Text);
}

void QtFormView::refreshText(forms::TextBox& model, QWidget* widget) {
  const std::string& text = model.text();
  if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    if (bytes(line->text()) == text) return;
    const int caret = line->cursorPosition();
    line->setText(qs(text));
    line->setCursorPosition(std::min(caret, static_cast<int>(line->text().size())));
    return;
  }
}

void QtFormView::listSelectionChanged(forms::ListBox& model, QWidget* widget) {
  auto* list = static_cast<QListWidget*>(widget);
  std::vector<bool> selection(model.count(), false);
  for (int i = 0; i < list->count() && i < static_cast<int>(selection.size()); ++i)
    selection[static_cast<std::size_t>(i)] = list->item(i)->isSelected();
  if (QApplication::mouseButtons() != Qt::NoButton) selectedByPress_ = list;
  model.selectFromView(list->currentRow(), std::move(selection));
}

void QtFormView::formChanged(forms::Form& form, forms::Property property) {
  if (!window_) return;
  switch (property) {
    case Property::Caption:
      window_->setWindowTitle(qs(form.caption()));
      break;
    case Property::Layout: {
      // The client area: the whole window's size without the classic borders and caption, or
      // the size itself for a window designed by its client area (with a menu bar added).
      const int width =
          form.sizeIsClientArea() ? px(form.width()) : px(form.width() - kBordersTwips);
      const int height = form.sizeIsClientArea()
                             ? px(form.height()) + menuHeight_
                             : px(form.height() - kBordersTwips - kCaptionTwips);
      window_->resize(width, height);
      if (menuBar_) menuBar_->setGeometry(0, 0, width, menuHeight_);
      break;
    }
    case Property::Visible:
      form.visible() ? (window_->show(), window_->raise()) : window_->hide();
      break;
    case Property::Enabled:
      window_->setEnabled(form.enabled());
      break;
    default:
      break;
  }
}

}  // namespace qb::ui
