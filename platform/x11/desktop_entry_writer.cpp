#include "platform/x11/desktop_entry_writer.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/file_io.h"

namespace qb::platform::x11 {
namespace {

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

std::string desktopEntryText(const Shortcut& shortcut) {
  const std::filesystem::path file(shortcut.path);
  const std::filesystem::path target(shortcut.target);
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Version=1.0\n";
  text += "Name=" + escapeValue(file.stem().string()) + "\n";
  text += "Exec=" + desktopExecArgument(shortcut.target) + "\n";
  if (target.has_parent_path() && target.is_absolute())
    text += "Path=" + escapeValue(target.parent_path().string()) + "\n";
  text += "Terminal=false\n";
  if (!shortcut.hotKey.empty())
    text += "X-Quillbarrow-HotKey=" + escapeValue(shortcut.hotKey) + "\n";
  return text;
}

bool DesktopEntryWriter::write(const Shortcut& shortcut, std::string* error) {
  const FileResult written = writeFileAtomic(shortcut.path, desktopEntryText(shortcut));
  if (!written.ok) {
    if (error) *error = written.error;
    return false;
  }
  if (::chmod(shortcut.path.c_str(), 0755) != 0) {
    if (error) *error = shortcut.path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace qb::platform::x11
