#include "platform/x11/linux_environment.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdlib>
#include <filesystem>

#include "common/file_io.h"

namespace qb::platform::x11 {
namespace {

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string home() {
  const std::string h = env("HOME");
  return h.empty() ? "/" : h;
}

}  // namespace

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

std::string desktopFolderFromUserDirs(std::string_view userDirs, const std::string& homeDir) {
  constexpr std::string_view key = "XDG_DESKTOP_DIR=";
  std::size_t start = 0;
  while (start < userDirs.size()) {
    std::size_t end = userDirs.find('\n', start);
    if (end == std::string_view::npos) end = userDirs.size();
    std::string_view line = userDirs.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (line.substr(0, key.size()) != key) continue;
    line.remove_prefix(key.size());
    if (line.size() >= 2 && line.front() == '"') {
      const auto close = line.find('"', 1);
      if (close == std::string_view::npos) return {};
      line = line.substr(1, close - 1);
    }
    if (line == "$HOME") return homeDir;
    if (line.substr(0, 6) == "$HOME/") return homeDir + std::string(line.substr(5));
    if (!line.empty() && line.front() == '/') return std::string(line);
    return {};
  }
  return {};
}

std::vector<std::string> LinuxEnvironment::specialFolders() {
  const std::string config =
      env("XDG_CONFIG_HOME").empty() ? home() + "/.config" : env("XDG_CONFIG_HOME");
  std::string desktop;
  if (const auto dirs = readWholeFile(config + "/user-dirs.dirs"))
    desktop = desktopFolderFromUserDirs(*dirs, home());
  if (desktop.empty()) desktop = home() + "/Desktop";
  const std::string data =
      env("XDG_DATA_HOME").empty() ? home() + "/.local/share" : env("XDG_DATA_HOME");
  return {desktop, data + "/applications"};
}

std::string LinuxEnvironment::sessionLimits() {
  if (env("XDG_SESSION_TYPE") != "wayland" && env("WAYLAND_DISPLAY").empty()) return {};
  return "This is a Wayland session. Quillbarrow runs here through XWayland, and so it sees and "
         "drives only the applications that use X11 too:\r\n\r\n"
         "- Keys you type into other applications' windows (most of the desktop's own) are not "
         "recorded.\r\n"
         "- A macro played while such a window is in front types and clicks into nothing.\r\n\r\n"
         "Recording and playing into X11 applications works as usual. For the whole desktop, log "
         "in to an X11 session.";
}

std::string LinuxEnvironment::userDataFolder() {
  const std::string data =
      env("XDG_DATA_HOME").empty() ? home() + "/.local/share" : env("XDG_DATA_HOME");
  return data + "/quillbarrow";
}

}  // namespace qb::platform::x11
