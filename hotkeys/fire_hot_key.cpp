#include "hotkeys/fire_hot_key.h"

#include <cmath>

#include "common/file_io.h"
#include "common/text.h"
#include "hotkeys/form2.h"
#include "script/module_data.h"

namespace qb {

namespace {

// "loop=" N ":" at the start of a row text: N becomes the repeat count when it is a number
// that fits 16 bits (rounded half to even), and the prefix goes when it has its colon.
void takeRepeatPrefix(std::string_view& text, int& repeat) {
  if (!startsWithNoCase(text, "loop=")) return;
  std::string_view count = text.substr(5);
  const std::size_t colon = count.find(':');
  if (colon != std::string_view::npos) count = count.substr(0, colon);
  if (const std::optional<double> value = parseNumeric(count)) {
    const double rounded = std::nearbyint(*value);
    if (rounded >= -32768 && rounded <= 32767) repeat = static_cast<int>(rounded);
  }
  if (colon != std::string_view::npos) text.remove_prefix(5 + colon + 1);
}

void playMacroFile(HotKeyHost& host, const std::string& rest) {
  // The row holds the rest of the path, separator included, so nothing is put in between.
  host.playMacroText(readWholeFile(host.macroFolder() + rest));
}

// How long the application in front gets to fetch the clipboard after its Ctrl+V arrived, before
// the old text goes back; the event loop turns meanwhile, so the clipboard can be served.
constexpr platform::Ms kPasteSettleMs = 250;

void paste(ModuleData& player, const std::string& text) {
  platform::Clipboard& clipboard = player.desktop().clipboard;
  // Everything the user had there, images and rich text included, goes back after the paste.
  const platform::ClipboardContents kept = clipboard.contents();
  clipboard.clear();
  clipboard.setText(text);
  player.desktop().loop.yield();
  // Restoring at once would let an application that reads the clipboard a moment later paste
  // the old text: wait until the keys were delivered, then give it time to read.
  player.SendKeyString("^{v}", true);
  player.WaitMs(kPasteSettleMs);
  clipboard.restore(kept);
}

}  // namespace

std::optional<HotKeyAction> aimHotKey(Form2& rows, int n, bool ctrl) {
  if (rows.option(4, n).value() == 1 && !ctrl) return std::nullopt;
  std::string_view text = trimBlanks(rows.text(n).text());
  if (text.empty()) return std::nullopt;
  HotKeyAction action;
  takeRepeatPrefix(text, action.repeat);
  action.text = std::string(text);
  action.run = rows.option(1, n).value() == 1;
  action.play = rows.option(2, n).value() == 1;
  action.send = rows.option(3, n).value() == 1;
  return action;
}

void runHotKey(HotKeyHost& host, const HotKeyAction& action) {
  ModuleData& player = host.hotKeyPlayer();
  platform::EventLoop& loop = player.desktop().loop;
  for (int pass = 0; pass <= action.repeat && !loop.quitting(); ++pass) {
    loop.yield();
    if (action.run) {
      // A program that does not start is skipped.
      (void)player.desktop().processes.start(action.text);
    }
    if (action.play) playMacroFile(host, action.text);
    if (action.send) player.SendKeyString(action.text, false);
    if (action.paste()) paste(player, action.text);
  }
}

bool FireHotKey(HotKeyHost& host, int n, bool ctrl) {
  const std::optional<HotKeyAction> action = aimHotKey(host.hotKeyRows(), n, ctrl);
  if (!action) return false;
  runHotKey(host, *action);
  return true;
}

}  // namespace qb
