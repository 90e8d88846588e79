#pragma once
// What the Advanced Macro Builder needs of the running program: the cursor position as mouse
// lines carry it, the macro folder and the main window's macro list, running a macro in the main
// window, and the program's hold on this window. The program implements it.

#include <string>
#include <string_view>

namespace qb {

class FormMacroBuilder;

class BuilderHost {
 public:
  virtual ~BuilderHost() = default;
  // "X, Y", as the recorder writes positions.
  virtual std::string cursorPositionText() = 0;
  // The macro folder as stored in the settings (the main window's location field).
  virtual std::string storedMacroLocation() = 0;
  // The folder of the running executable.
  virtual std::string ownFolder() = 0;
  virtual std::string macroFolder() = 0;
  virtual void setMacroFolder(std::string folder) = 0;
  virtual std::string macroPath(std::string_view entry) = 0;
  // The main window's macro list is refilled from the folder.
  virtual void refreshMacroList() = 0;
  // Plays `text` as an advanced macro through the main window, returning when it ends.
  virtual void runAdvancedMacro(std::string text) = 0;
  virtual void showMainWindow() = 0;
  // Whether `form` is the builder window the program holds; letting go of it destroys it.
  virtual bool holdsBuilder(const FormMacroBuilder& form) = 0;
  virtual void unloadBuilder() = 0;
};

}  // namespace qb
