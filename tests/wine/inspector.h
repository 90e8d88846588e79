#pragma once
// What another Windows program shows, read through qb_win32_inspect (a Wine program that
// reads windows as accessibility tools do): its windows, its controls, their text and state.

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "wine_program.h"

namespace qb::winetest {

struct TopWindow {
  unsigned long long handle = 0;
  int pid = 0;
  bool topmost = false;
  int x = 0, y = 0, width = 0, height = 0;
  std::string title;
};

struct NativeControl {
  unsigned long long handle = 0;
  std::string kind;  // the window class: "Button", "Edit", "ListBox", ...
  int id = 0;
  unsigned long style = 0;
  bool visible = false, enabled = false;
  int check = -1;  // BM_GETCHECK for buttons, else -1
  int x = 0, y = 0, width = 0, height = 0;
  std::string text;
  int centerX() const { return x + width / 2; }
  int centerY() const { return y + height / 2; }
};

struct ListEntry {
  bool selected = false;
  std::string text;
};

// A shortcut file as IShellLinkW reads it back.
struct ShortcutFile {
  std::string error;  // empty when it could be read
  std::string target, workingFolder;
  unsigned hotKey = 0;  // virtual key in the low byte, HOTKEYF_ modifiers in the high byte
};

class Inspector {
 public:
  explicit Inspector(const std::string& display);
  bool ready() const { return ready_; }

  std::vector<TopWindow> windows();
  // The first visible top-level window whose title starts with `title`, waiting for it.
  std::optional<TopWindow> window(const std::string& title,
                                  std::chrono::milliseconds wait = std::chrono::seconds(20));
  std::vector<NativeControl> controls(unsigned long long window);
  // The visible control of `window` whose text is `text` (the first of `kind` when `text` is
  // empty), waiting for it.
  std::optional<NativeControl> control(unsigned long long window, const std::string& text,
                                       const std::string& kind = {},
                                       std::chrono::milliseconds wait = std::chrono::seconds(10));
  // The `index`-th (from 0) visible control of `kind`, in the window's order.
  std::optional<NativeControl> nth(unsigned long long window, const std::string& kind,
                                   std::size_t index);
  std::vector<ListEntry> items(unsigned long long list);
  std::string text(unsigned long long window);
  // Whether a window takes input (a disabled top-level window ignores clicks on its controls).
  bool enabled(unsigned long long window);
  // A combo box's entries, in its order.
  std::vector<std::string> comboItems(unsigned long long combo);
  // The shortcut file at a Windows path.
  ShortcutFile shortcut(const std::string& windowsPath);
  // The menu bar's entries: their screen rectangles' centres and texts.
  std::vector<std::pair<std::pair<int, int>, std::string>> menu(unsigned long long window);
  // The control with the keyboard focus (0 for none) and its class.
  std::pair<unsigned long long, std::string> focus();
  // The top-level window in front (0 for none).
  unsigned long long foreground();
  // The length of a window's text, -1 when it did not answer.
  long long textLength(unsigned long long window);
  // A list box's entry height in pixels.
  int itemHeight(unsigned long long list);
  // The virtual keys and mouse buttons the system holds down now.
  std::vector<int> heldKeys();
  // How long the last command took to be answered.
  std::chrono::milliseconds lastAnswerTime() const { return lastAnswerTime_; }
  // Removes the programs' settings, as on a first run.
  void forgetSettings() { ask("forget-settings"); }

 private:
  std::vector<std::string> ask(const std::string& command);

  WineProgram agent_;
  bool ready_ = false;
  std::chrono::milliseconds lastAnswerTime_{0};
};

// Undoes the inspector's escapes (\r, \n, \t, \\).
std::string unescaped(const std::string& text);

}  // namespace qb::winetest
