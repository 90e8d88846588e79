#include "tests/desktop/layout_check.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace qb::desktoptest {
namespace {

QString shown(QString text) {
  return text.remove(QLatin1Char('&'));
}

std::string nameOf(QWidget* w) {
  QString text;
  if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text();
  if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
  if (auto* g = qobject_cast<QGroupBox*>(w)) text = g->title();
  return std::string(w->metaObject()->className()) + " \"" + shown(text).left(40).toStdString() +
         "\"";
}

void check(QWidget* w, const std::vector<std::string>& cutOffByDesign,
           std::vector<std::string>& problems) {
  const QRect inParent = w->parentWidget()->rect();
  const bool designed =
      std::find(cutOffByDesign.begin(), cutOffByDesign.end(), nameOf(w)) != cutOffByDesign.end();
  if (!inParent.contains(w->geometry()) && !designed)
    problems.push_back(nameOf(w) + " is cut off: it reaches beyond its " +
                       (qobject_cast<QGroupBox*>(w->parentWidget()) ? "frame" : "window"));
  const QFontMetrics metrics = w->fontMetrics();
  if (auto* button = qobject_cast<QPushButton*>(w)) {
    if (metrics.horizontalAdvance(shown(button->text())) + 4 > button->width())
      problems.push_back(nameOf(w) + " shows only part of its caption");
  } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
    if (w->sizeHint().width() > w->width())
      problems.push_back(nameOf(w) + " shows only part of its caption");
    if (w->sizeHint().height() > w->height())
      problems.push_back(nameOf(w) + " is too low for its box");
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    if (label->wordWrap() ? label->heightForWidth(label->width()) > label->height()
                          : metrics.horizontalAdvance(label->text()) > label->width())
      problems.push_back(nameOf(w) + " shows only part of its text");
  } else if (auto* frame = qobject_cast<QGroupBox*>(w)) {
    if (metrics.horizontalAdvance(frame->title()) > frame->width())
      problems.push_back(nameOf(w) + " shows only part of its caption");
  }
}

}  // namespace

std::vector<std::string> layoutProblems(QWidget* window,
                                        const std::vector<std::string>& cutOffByDesign) {
  std::vector<std::string> problems;
  // The controls are the window's own children and those of its frames; their parts (a list's
  // scroll bars, a drop-down's edit field) are the toolkit's business.
  for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!child->isVisibleTo(window) || qobject_cast<QMenuBar*>(child)) continue;
    check(child, cutOffByDesign, problems);
    if (qobject_cast<QGroupBox*>(child))
      for (QWidget* inner : child->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (inner->isVisibleTo(window)) check(inner, cutOffByDesign, problems);
  }
  return problems;
}

}  // namespace qb::desktoptest
