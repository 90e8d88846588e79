#include "tests/desktop/layout_check.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cstdlib>
#include <map>

#include "ui/qt/text_area.h"

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

namespace qb::desktoptest {
namespace {

// Text shows as pixels far from the colour most of its place has.
constexpr int kInkContrast = 35;  // a disabled caption's grey too
constexpr int kInkPixels = 3;

bool hasText(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return !shown(b->text()).trimmed().isEmpty();
  if (auto* l = qobject_cast<QLabel*>(w)) return !l->text().trimmed().isEmpty();
  if (auto* g = qobject_cast<QGroupBox*>(w)) return !g->title().trimmed().isEmpty();
  if (auto* e = qobject_cast<QLineEdit*>(w)) return !e->text().trimmed().isEmpty();
  if (auto* e = dynamic_cast<ui::TextArea*>(w))
    return e->lineCount() > 1 || !e->lineText(0).trimmed().isEmpty();
  return false;
}

int inkIn(const QImage& shot, QRect rect) {
  rect = rect.intersected(shot.rect());
  if (rect.isEmpty()) return 0;
  std::map<QRgb, int> counts;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x) ++counts[shot.pixel(x, y)];
  const QRgb common =
      std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
      })->first;
  int ink = 0;
  for (const auto& [colour, count] : counts)
    if (std::abs(qGray(colour) - qGray(common)) >= kInkContrast) ink += count;
  return ink;
}

}  // namespace

std::vector<std::string> pictureProblems(QWidget* window, const QImage& shot,
                                         const QPoint& client) {
  std::vector<std::string> problems;
  const QRect area = QRect(client, window->size()).intersected(shot.rect());
  bool flat = !area.isEmpty();
  const QRgb first = area.isEmpty() ? 0 : shot.pixel(area.topLeft());
  for (int y = area.top(); flat && y <= area.bottom(); ++y)
    for (int x = area.left(); flat && x <= area.right(); ++x) flat = shot.pixel(x, y) == first;
  if (flat) {
    problems.push_back("the window's client area is one flat colour #" +
                       QString::number(first & 0xffffff, 16).toStdString());
    return problems;
  }
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window) || !hasText(w)) continue;
    // Inside its border, where a control's own text is drawn.
    const QRect place =
        QRect(w->mapTo(window, QPoint(0, 0)) + client, w->size()).adjusted(3, 3, -3, -3);
    // A control the window's design places outside its client area cannot show.
    if (place.width() < 4 || place.height() < 4 || !QRect(client, window->size()).contains(place))
      continue;
    if (inkIn(shot, place) < kInkPixels)
      problems.push_back(nameOf(w) + " shows no text on the screen");
  }
  return problems;
}

}  // namespace qb::desktoptest
