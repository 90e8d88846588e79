#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/result.h"

namespace qb::platform {

// What the clipboard holds, in every format it offers: (MIME type, bytes) pairs.
struct ClipboardContents {
  std::vector<std::pair<std::string, std::string>> formats;
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // The clipboard's text; empty when it holds none (an image, nothing).
  virtual std::optional<std::string> text() = 0;
  virtual bool clear() = 0;
  // Text put there for a moment (a paste), marked so clipboard histories leave it out.
  virtual bool setText(std::string_view text) = 0;
  virtual ClipboardContents contents() = 0;
  // Puts back what contents() read, every format of it; nothing read leaves it empty.
  virtual bool restore(const ClipboardContents& contents) = 0;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a web address or local page in the user's browser.
  virtual bool openUrl(std::string_view url) = 0;
  // Opens a text file in the user's plain-text editor.
  virtual Result<> openTextEditor(std::string_view path) = 0;
};

// The notification-area icon. Its mouse events report the button state: 1 left, 2 right.
class TrayIcon {
 public:
  virtual ~TrayIcon() = default;
  virtual bool addIcon(std::string_view tip, std::function<void(int buttons)> onMouse) = 0;
  virtual void removeIcon() = 0;
  // Whether the desktop shows the icon now: false where it has no notification area, or has
  // lost it.
  virtual bool iconVisible() const = 0;
};

// Z-order of the program's own windows, by form name ("Form1", "FormMacroBuilder").
class WindowStack {
 public:
  virtual ~WindowStack() = default;
  virtual bool setTopmost(std::string_view form, bool on) = 0;
  // Minimises a shown window the desktop's ordinary way (to the task bar).
  virtual bool minimize(std::string_view form) = 0;
};

// The running program: its executable file and the argument string after its name.
class Environment {
 public:
  virtual ~Environment() = default;
  virtual std::string executablePath() = 0;
  virtual std::string arguments() = 0;
  // The desktop's special folders (desktop, application menu, ...), in the platform's order.
  virtual std::vector<std::string> specialFolders() = 0;
  // The user's own folder for what the program keeps when its own folder cannot be written.
  virtual std::string userDataFolder() = 0;
  // What the user should know about what this desktop session lets the program see and drive,
  // in plain words; empty where it sees and drives everything.
  virtual std::string sessionLimits() { return {}; }
};

struct Shortcut {
  std::string path;    // the shortcut file to write
  std::string target;  // the program it starts
  std::string hotKey;  // "CTRL+ALT+F7", or empty
};

class ShortcutWriter {
 public:
  virtual ~ShortcutWriter() = default;
  virtual Result<> write(const Shortcut& shortcut) = 0;
  // Makes a written shortcut's hot key work where the desktop does not do it by itself. Empty
  // when the key works (or the desktop needs nothing), else a message saying why it does not.
  virtual std::string armHotKey(const Shortcut& shortcut) {
    (void)shortcut;
    return {};
  }
};

}  // namespace qb::platform
