#pragma once
// What firing a hot key needs of the running program: the rows, the player that sends keys and
// waits (its desktop runs programs and holds the clipboard), the macro folder, and playing a
// macro in the main window. The program implements it.

#include <string>

#include "common/result.h"

namespace qb {

class Form2;
class ModuleData;

class HotKeyHost {
 public:
  virtual ~HotKeyHost() = default;
  virtual Form2& hotKeyRows() = 0;
  virtual ModuleData& hotKeyPlayer() = 0;
  // The macro folder; a row's macro path follows it as written, separator included.
  virtual std::string macroFolder() = 0;
  // Puts the macro text (when the file could be read) in the main window and presses Play.
  virtual void playMacroText(Result<std::string> text) = 0;
};

}  // namespace qb
