#include "platform/qt/qt_clipboard.h"

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
  auto* data = new QMimeData;
  data->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  // Clipboard managers that honour it keep this passing text out of their history.
  data->setData("x-kde-passwordManagerHint", "secret");
  QGuiApplication::clipboard()->setMimeData(data);
  return true;
}

ClipboardContents QtClipboard::contents() {
  ClipboardContents kept;
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return kept;
  for (const QString& format : data->formats()) {
    const QByteArray bytes = data->data(format);
    kept.formats.emplace_back(format.toStdString(), bytes.toStdString());
  }
  return kept;
}

bool QtClipboard::restore(const ClipboardContents& contents) {
  if (contents.formats.empty()) return clear();
  auto* data = new QMimeData;
  for (const auto& [format, bytes] : contents.formats)
    data->setData(QString::fromStdString(format),
                  QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  QGuiApplication::clipboard()->setMimeData(data);
  return true;
}

}  // namespace qb::platform::x11
