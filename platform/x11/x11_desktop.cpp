#include "platform/x11/x11_desktop.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include "platform/x11/shared_colormap.h"

namespace qb::platform::x11 {

Result<std::unique_ptr<X11Desktop>> X11Desktop::create() {
  return create(defaultSettingsPath());
}

Result<std::unique_ptr<X11Desktop>> X11Desktop::create(const std::string& settingsPath) {
  if (!QCoreApplication::instance())
    return fail("The X11 desktop needs the program's QApplication, and none exists yet.");
  if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
    return fail(
        "Quillbarrow needs X11, but Qt runs on Wayland here: start it with "
        "QT_QPA_PLATFORM=xcb (Wayland sessions need XWayland).");
  auto connection = Connection::open();
  if (!connection) return connection.error();
  if (std::string missing = (*connection)->missingExtensions(); !missing.empty())
    return fail(missing);
  return std::unique_ptr<X11Desktop>(new X11Desktop(std::move(*connection), settingsPath));
}

X11Desktop::X11Desktop(std::unique_ptr<Connection> connection, const std::string& settingsPath)
    : connection_(std::move(connection)),
      settings_(settingsPath),
      desktop_{clock_,     loop_,      pointer_, pointer_,     keys_,        keyState_,
               windows_,   processes_, dialogs_, log_,         settings_,    hook_,
               clipboard_, shell_,     tray_,    windowStack_, environment_, shortcuts_} {
  link_.watch(
      connection_->fd(), [this] { connection_->drain(); }, [] {});
  shareDefaultColormap();
  keys_.setOwnInputGuard(&hook_);
  hook_.setPhysicalKeyObserver(
      [this](std::uint16_t vk, bool down) { keyState_.noteKey(vk, down); });
  keyState_.setEventState([this](std::uint16_t vk) { return hook_.heldAtEvent(vk); });
}

X11Desktop::~X11Desktop() {
  hook_.uninstall();
}

}  // namespace qb::platform::x11
