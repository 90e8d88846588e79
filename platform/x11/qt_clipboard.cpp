#include "platform/x11/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace qb::platform::x11 {

std::optional<std::string> QtClipboard::text() {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return std::nullopt;
  return data->text().toStdString();
}

bool QtClipboard::clear() {
  QGuiApplication::clipboard()->clear();
  return true;
}

bool QtClipboard::setText(std::string_view text) {
  QGuiApplication::clipboard()->setText(
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  return true;
}

}  // namespace qb::platform::x11
