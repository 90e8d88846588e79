#include "platform/posix/xdg_folders.h"

#include <cstdlib>

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

std::string configHome() {
  return env("XDG_CONFIG_HOME").empty() ? home() + "/.config" : env("XDG_CONFIG_HOME");
}

}  // namespace

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

std::vector<std::string> shortcutFolders() {
  std::string desktop;
  if (const auto dirs = readWholeFile(configHome() + "/user-dirs.dirs"))
    desktop = desktopFolderFromUserDirs(*dirs, home());
  if (desktop.empty()) desktop = home() + "/Desktop";
  return {desktop, dataHome() + "/applications"};
}

bool waylandSession() {
  return !env("WAYLAND_DISPLAY").empty() || env("XDG_SESSION_TYPE") == "wayland";
}

std::string dataHome() {
  return env("XDG_DATA_HOME").empty() ? home() + "/.local/share" : env("XDG_DATA_HOME");
}

std::string autostartFolder() {
  return configHome() + "/autostart";
}

}  // namespace qb::platform::x11
