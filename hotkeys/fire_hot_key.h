#pragma once
// Firing a hot key row: whether the row takes the key, and its passes. The keyboard hook
// needs the answer at once and runs the passes after it has answered, so the two are apart.

#include <optional>
#include <string>

#include "hotkeys/hot_key_host.h"

namespace qb {

struct HotKeyAction {
  std::string text;   // the row's text, blank-trimmed, without its "loop=N:" prefix
  int repeat = 0;     // the passes run repeat + 1 times; none when negative
  bool run = false;   // 1C: start the text as a command line
  bool play = false;  // 2C: play the macro file macro folder + text
  bool send = false;  // 3C: send the text as a key string
  bool paste() const { return !run && !play && !send; }
};

// What row n (1 to 12) does for a press with the left Ctrl key held or not, read from the row
// as it stands; empty when the row does not take the key.
std::optional<HotKeyAction> aimHotKey(Form2& rows, int n, bool ctrl);

// The passes, each after a turn of the event loop. A step that fails is skipped.
void runHotKey(HotKeyHost& host, const HotKeyAction& action);

// Both at once; true when the row took the key.
bool FireHotKey(HotKeyHost& host, int n, bool ctrl);

}  // namespace qb
