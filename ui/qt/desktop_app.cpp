#include "ui/desktop_app.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

#include "app/program.h"
#include "platform/x11/x11_desktop.h"
#include "shortcut/kestrip_form.h"
#include "ui/qt/program_views.h"
#include "ui/qt/qt_form_view.h"

namespace qb::ui {
namespace {

// Says what is needed when there is no X11 display to work on; empty when there is one.
std::string displayProblem() {
  const char* display = std::getenv("DISPLAY");
  if (display && *display) return {};
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (wayland && *wayland)
    return "Quillbarrow needs X11 to record and play keys and mouse: this Wayland session offers "
           "no X11 display. Start it in an X11 session, or with XWayland running (DISPLAY set).";
  return "Quillbarrow needs an X11 display: DISPLAY is not set. Start it from a desktop session, "
         "or try a macro without one: daventi --dry-run MACRO-FILE.";
}

QIcon programIcon() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(0x2e, 0x5c, 0x8a));
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(2, 2, 28, 28, 6, 6);
  painter.setBrush(QColor(0xf2, 0xc1, 0x4e));
  painter.drawEllipse(9, 9, 14, 14);
  return QIcon(pixmap);
}

struct Session {
  std::unique_ptr<QApplication> app;
  std::unique_ptr<platform::x11::X11Desktop> desktop;
};

bool openSession(int& argc, char** argv, Session& session) {
  if (const std::string problem = displayProblem(); !problem.empty()) {
    std::cerr << problem << "\n";
    return false;
  }
  // The backend speaks X11; Qt's windows must live on the same display. Programs started from
  // here do not inherit the value unless the user set it.
  platform::x11::setOwnDefaultEnvironment("QT_QPA_PLATFORM", "xcb");
  session.app = std::make_unique<QApplication>(argc, argv);
  QApplication::setWindowIcon(programIcon());
  QApplication::setQuitOnLastWindowClosed(false);  // the program decides when it ends
  auto desktop = platform::x11::X11Desktop::create();
  if (!desktop) {
    std::cerr << desktop.message() << "\n";
    return false;
  }
  session.desktop = std::move(*desktop);
  return true;
}

}  // namespace

int runRecorder(int argc, char** argv, bool standAloneBuild) {
  Session session;
  if (!openSession(argc, argv, session)) return 1;
  Program program(session.desktop->desktop(), ProgramConfig{standAloneBuild});
  // A stand-alone build only plays its macro and ends: it never shows a window.
  std::optional<ProgramViews> views;
  if (!standAloneBuild) views.emplace(program, session.desktop->windowStack());
  if (program.startUp()) QApplication::exec();
  return program.exitStatus();
}

int runShortcutMaker(int argc, char** argv) {
  Session session;
  if (!openSession(argc, argv, session)) return 1;
  KestripForm form(session.desktop->desktop());
  QtFormView view(form);
  session.desktop->windowStack().registerWindow(form.name(), view.window());
  form.start();
  if (!form.ended()) {
    form.show();
    QApplication::exec();
  }
  return 0;
}

}  // namespace qb::ui
