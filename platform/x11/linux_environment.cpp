#include "platform/x11/linux_environment.h"

#include <QCoreApplication>
#include <QStringList>
#include <filesystem>

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

}  // namespace qb::platform::x11
