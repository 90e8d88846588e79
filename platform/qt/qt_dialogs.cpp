#include "platform/qt/qt_dialogs.h"

#include <QMessageBox>
#include <QString>

namespace qb::platform::x11 {
namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MessageAnswer QtDialogs::messageBox(std::string_view text, std::string_view title,
                                    MessageButtons buttons) {
  const bool yesNo = buttons == MessageButtons::YesNo;
  QMessageBox box(QMessageBox::NoIcon, fromUtf8(title), fromUtf8(text),
                  yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
  box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
  const int answer = box.exec();
  if (!yesNo) return MessageAnswer::Ok;
  return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

}  // namespace qb::platform::x11
