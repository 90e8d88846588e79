#include "platform/x11/desktop_entry_writer.h"

#include <X11/Xlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "common/file_io.h"
#include "platform/posix/posix_processes.h"
#include "platform/posix/xdg_folders.h"
#include "platform/x11/hot_key_grabber.h"
#include "platform/x11/hot_key_service.h"

namespace qb::platform::x11 {
namespace {

namespace fs = std::filesystem;

// A string value: backslash and line breaks escaped.
std::string escapeValue(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\t')
      out += "\\t";
    else
      out += c;
  }
  return out;
}

}  // namespace

std::string desktopExecArgument(std::string_view argument) {
  constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
  std::string arg;
  for (char c : argument) {
    if (c == '%')
      arg += "%%";
    else
      arg += c;
  }
  const bool quote = arg.empty() || arg.find_first_of(reserved) != std::string::npos;
  if (!quote) return escapeValue(arg);
  std::string quoted = "\"";
  for (char c : arg) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  return escapeValue(quoted);
}

std::string desktopExecLine(const std::vector<std::string>& argv) {
  std::vector<std::string> words;
  if (!argv.empty() && argv[0].find('%') != std::string::npos)
    words = {"sh", "-c", "exec \"$0\" \"$@\""};
  words.insert(words.end(), argv.begin(), argv.end());
  std::string line;
  for (const auto& word : words) {
    if (!line.empty()) line += ' ';
    line += desktopExecArgument(word);
  }
  return line;
}

std::string desktopEntryText(const Shortcut& shortcut) {
  const std::filesystem::path file(shortcut.path);
  const std::filesystem::path target(shortcut.target);
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Version=1.0\n";
  text += "Name=" + escapeValue(file.stem().string()) + "\n";
  text += "Exec=" + desktopExecLine({shortcut.target}) + "\n";
  if (target.has_parent_path() && target.is_absolute())
    text += "Path=" + escapeValue(target.parent_path().string()) + "\n";
  text += "Terminal=false\n";
  if (!shortcut.hotKey.empty())
    text += "X-Quillbarrow-HotKey=" + escapeValue(shortcut.hotKey) + "\n";
  return text;
}

Result<> DesktopEntryWriter::write(const Shortcut& shortcut) {
  if (auto written = writeFileAtomic(shortcut.path, desktopEntryText(shortcut)); !written)
    return written;
  if (::chmod(shortcut.path.c_str(), 0755) != 0)
    return fail(shortcut.path + ": " + std::strerror(errno));
  return {};
}

std::string hotKeyServiceAutostartText(const std::string& serviceProgram) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Version=1.0\n"
         "Name=Quillbarrow hot keys\n"
         "Comment=Starts Quillbarrow's shortcuts with their hot keys\n"
         "Exec=" +
         desktopExecLine({serviceProgram}) +
         "\n"
         "Terminal=false\n"
         "NoDisplay=true\n";
}

DesktopEntryWriter::DesktopEntryWriter(std::string serviceProgram)
    : serviceProgram_(std::move(serviceProgram)) {
  if (serviceProgram_.empty()) {
    std::error_code ec;
    const auto self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) serviceProgram_ = (self.parent_path() / kHotKeyServiceProgram).string();
  }
}

std::string DesktopEntryWriter::armHotKey(const Shortcut& shortcut) {
  const std::string written = "The shortcut was written, but its hot key " + shortcut.hotKey;
  if (!parseHotKeyText(shortcut.hotKey)) return written + " is not a key combination.";
  // The service reads the shortcut folders only; it names entries by its own folder's spelling.
  const fs::path entry(shortcut.path);
  std::error_code ec;
  const fs::path where = fs::weakly_canonical(entry.parent_path(), ec);
  std::string servicePath;
  const auto folders = shortcutFolders();
  for (const auto& folder : folders)
    if (fs::weakly_canonical(folder, ec) == where)
      servicePath = (fs::path(folder) / entry.filename()).string();
  if (servicePath.empty())
    return written + " works only for shortcuts on the desktop (" + folders[0] +
           ") or in the applications menu (" + folders[1] + ").";

  // Listed for every login; rewritten when the service program has moved.
  const std::string autostart = autostartFolder() + "/" + kHotKeyServiceAutostartName;
  const std::string text = hotKeyServiceAutostartText(serviceProgram_);
  if (readWholeFile(autostart).value_or("") != text) {
    fs::create_directories(autostartFolder(), ec);
    if (const auto saved = writeFileAtomic(autostart, text); !saved)
      return written + " will not work after the next login: " + saved.message();
  }

  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) return written + " does not work: no X display could be opened.";
  std::string problem;
  if (!hotKeyServiceRunning(dpy)) {
    if (const auto spawned = spawnDetached({serviceProgram_}); !spawned)
      problem = written + " does not work: " + spawned.message();
  }
  std::optional<std::string> state;
  if (problem.empty()) {
    // The service answers within milliseconds; a fresh one needs to connect first.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!(state = hotKeyServiceState(dpy, servicePath, shortcut.hotKey)) &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  XCloseDisplay(dpy);
  if (!problem.empty()) return problem;
  if (!state)
    return written + " may not work: the hot key service (" + serviceProgram_ + ") did not answer.";
  if (*state == hotKeyStateName(HotKeyState::Ok)) return {};
  if (*state == hotKeyStateName(HotKeyState::Taken))
    return written +
           " does not work: another program already uses this key combination. "
           "Choose another key and make the shortcut again.";
  if (*state == hotKeyStateName(HotKeyState::Shared))
    return written +
           " does not work: another Quillbarrow shortcut already uses this key "
           "combination. Choose another key and make the shortcut again.";
  if (*state == hotKeyStateName(HotKeyState::UnknownKey))
    return written + " does not work: the keyboard has no such key.";
  return written + " does not work: the shortcut names no program to start.";
}

}  // namespace qb::platform::x11
