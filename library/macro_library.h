#pragma once
// The macro folder and the main window's macro list: refill, select, open in the editor,
// remove, and the entry Save Macro appends.

#include <string>
#include <string_view>

#include "forms/controls.h"
#include "forms/list_controls.h"
#include "platform/desktop.h"
#include "platform/settings.h"

namespace qb {

inline constexpr std::string_view kMacroPattern = "Macr*.txt";

// A file the macro list shows: "Macr*.txt", and ".txt" at the end of the blank-trimmed name.
bool isListedMacroName(std::string_view name);
// "Macro-AM-" at the start, any letter case.
bool isAdvancedMacroName(std::string_view name);

class MacroLibrary {
 public:
  MacroLibrary(platform::Desktop& desktop, Settings& settings, forms::ListBox& list,
               forms::TextBox& macroText);

  const std::string& folder() const { return folder_; }
  void setFolder(std::string folder) { folder_ = std::move(folder); }
  std::string path(std::string_view entry) const;

  // The location field changed: store it as typed, make it the folder, refill.
  void locationChanged(const std::string& location);
  // Rebuilds the list from the folder. A refill started while another one runs (from the
  // events it lets through) takes over; the list always ends as one complete listing.
  void ListMacro();
  void select();
  void openInEditor();
  void remove();
  void appendEntry(std::string entry);
  // The entry most recently clicked, kept in the list's tag; empty before the first click.
  const std::string& lastSelected() const { return list_.tag(); }
  // The first selected entry in list order, or -1.
  int firstSelected() const;

 private:
  platform::Desktop& desktop_;
  Settings& settings_;
  forms::ListBox& list_;
  forms::TextBox& macroText_;
  std::string folder_;
  unsigned refillGeneration_ = 0;
  unsigned selectGeneration_ = 0;
};

}  // namespace qb
