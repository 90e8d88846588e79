#include "platform/x11/shared_colormap.h"

#include <xcb/xcb.h>

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace qb::platform::x11 {
namespace {

class ColormapSharer final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Show) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->isWindow()) share(widget);
    return false;
  }

 private:
  static void share(QWidget* window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return;
    const auto id = static_cast<xcb_window_t>(window->winId());
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen) return;
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, id), nullptr);
    if (!attributes) return;
    // Only a window on the default visual may share the default colormap.
    if (attributes->visual == screen->root_visual &&
        attributes->colormap != screen->default_colormap) {
      const std::uint32_t colormap = screen->default_colormap;
      xcb_change_window_attributes(connection, id, XCB_CW_COLORMAP, &colormap);
      xcb_flush(connection);
    }
    free(attributes);
  }
};

}  // namespace

void shareDefaultColormap() {
  static bool installed = false;
  if (installed || !qGuiApp) return;
  installed = true;
  qGuiApp->installEventFilter(new ColormapSharer(qGuiApp));
}

}  // namespace qb::platform::x11
