#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <cstdlib>

#include "platform/posix/command_line.h"
#include "platform/posix/posix_processes.h"

namespace qb::platform::x11 {

bool QtShell::openUrl(std::string_view url) {
  return QDesktopServices::openUrl(
      QUrl::fromUserInput(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size()))));
}

Result<> QtShell::openTextEditor(std::string_view path) {
  std::string why;
  for (const char* variable : {"VISUAL", "EDITOR"}) {
    const char* editor = std::getenv(variable);
    if (!editor || !*editor) continue;
    auto words = splitCommandLine(editor);
    if (!words) why = words.message();
    if (!words || words->empty()) continue;
    for (const char* terminal : {"x-terminal-emulator", "xterm"}) {
      if (!findProgram(terminal)) continue;
      std::vector<std::string> argv{terminal, "-e"};
      argv.insert(argv.end(), words->begin(), words->end());
      argv.emplace_back(path);
      const auto spawned = spawnDetached(argv);
      if (spawned) return {};
      why = spawned.message();
    }
  }
  const auto opened = spawnDetached({"xdg-open", std::string(path)});
  if (opened) return {};
  why = opened.message();
  if (QDesktopServices::openUrl(
          QUrl::fromLocalFile(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())))))
    return {};
  return fail("No text editor could be started for " + std::string(path) + ": " + why);
}

}  // namespace qb::platform::x11
