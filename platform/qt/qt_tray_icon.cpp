#include "platform/qt/qt_tray_icon.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <QSystemTrayIcon>

namespace qb::platform::x11 {

QtTrayIcon::QtTrayIcon() = default;
QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::addIcon(std::string_view tip, std::function<void(int buttons)> onMouse) {
  icon_ = std::make_unique<QSystemTrayIcon>();
  QIcon image = QApplication::windowIcon();
  if (image.isNull()) image = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
  icon_->setIcon(image);
  icon_->setToolTip(QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
  QObject::connect(
      icon_.get(), &QSystemTrayIcon::activated,
      [onMouse = std::move(onMouse)](QSystemTrayIcon::ActivationReason reason) {
        if (!onMouse) return;
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
          onMouse(1);
        else if (reason == QSystemTrayIcon::Context)
          onMouse(2);
      });
  icon_->show();
  // Without a notification area the icon cannot be seen, but the program goes on.
  return true;
}

bool QtTrayIcon::iconVisible() const {
  // Qt follows the notification area's selection owner, so this turns false when the area goes.
  return icon_ && icon_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::removeIcon() {
  icon_.reset();
}

}  // namespace qb::platform::x11
