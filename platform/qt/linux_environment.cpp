#include "platform/qt/linux_environment.h"

#include <QCoreApplication>
#include <QStringList>
#include <filesystem>

#include "platform/posix/xdg_folders.h"

namespace qb::platform::x11 {
std::string LinuxEnvironment::executablePath() {
  std::error_code ec;
  const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : path.string();
}

std::string LinuxEnvironment::arguments() {
  if (!QCoreApplication::instance()) return {};
  QStringList args = QCoreApplication::arguments();
  if (!args.isEmpty()) args.removeFirst();
  return args.join(QLatin1Char(' ')).toStdString();
}

std::vector<std::string> LinuxEnvironment::specialFolders() {
  return shortcutFolders();
}

std::string LinuxEnvironment::sessionLimits() {
  if (!waylandSession()) return {};
  return "This is a Wayland session. Quillbarrow runs here through XWayland, and so it sees and "
         "drives only the applications that use X11 too:\r\n\r\n"
         "- Keys you type into other applications' windows (most of the desktop's own) are not "
         "recorded.\r\n"
         "- A macro played while such a window is in front types and clicks into nothing.\r\n\r\n"
         "Recording and playing into X11 applications works as usual. For the whole desktop, log "
         "in to an X11 session.";
}

std::string LinuxEnvironment::userDataFolder() {
  return dataHome() + "/quillbarrow";
}

}  // namespace qb::platform::x11
