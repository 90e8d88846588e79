// The builder's Save and List panels: saving, listing and loading advanced macro files.

#include "builder/builder_files.h"

#include "builder/builder_host.h"
#include "builder/form_macro_builder.h"
#include "common/file_io.h"
#include "common/file_names.h"
#include "common/folder_listing.h"
#include "common/product.h"
#include "common/text.h"

namespace qb {

std::string advancedMacroFileName(std::string_view name) {
  return "Macro-AM-" + std::string(name) + ".txt";
}

std::string advancedMacroContent(std::string_view macroText) {
  std::string content(trimBlanks(macroText));
  content += kCrLf;
  return content;
}

void FormMacroBuilder::resolveMacroFolder() {
  std::string folder(trimBlanks(host_.storedMacroLocation()));
  if (folder.size() < 2) folder = host_.ownFolder();
  host_.setMacroFolder(std::move(folder));
}

void FormMacroBuilder::saveMacro() {
  if (trimBlanks(save.Name.text()).empty()) return say("Enter a Macro Name");
  if (host_.macroFolder().empty()) host_.setMacroFolder(host_.ownFolder());
  const std::string entry = advancedMacroFileName(save.Name.text());
  // A refused name or a failed write keeps the Save panel open with the name to correct.
  if (const auto nameable = checkMacroFileName(entry); !nameable)
    return say("The macro cannot be saved as \"" + entry + "\": " + nameable.message() + ".");
  const auto written =
      writeFileAtomic(host_.macroPath(entry), advancedMacroContent(MacroText.text()));
  if (!written) return say("The macro could not be saved: " + written.message());
  say("The Macro has been saved");
  showPanel(edit.FrameEdit);
  ListMacro();
}

void FormMacroBuilder::ListMacro() {
  const Busy busy(*this);
  const unsigned generation = ++listingGeneration_;
  forms::ListBox& list = edit.Macros;
  list.clear();
  // A folder that cannot be listed shows an empty list.
  if (const auto names = listFolder(host_.macroFolder(), kAdvancedMacroPattern)) {
    for (const auto& name : *names) {
      desktop_.loop.yield();
      if (generation != listingGeneration_) return;  // a newer listing owns the list now
      if (endsWithNoCase(trimBlanks(name), ".txt")) list.addItem(name);
    }
  }
  requestMainListRefresh();
}

void FormMacroBuilder::loadMacro() {
  const int index = edit.Macros.listIndex();
  if (index < 0) return;
  const std::string entry = edit.Macros.items()[static_cast<std::size_t>(index)];
  auto content = readWholeFile(host_.macroPath(entry));
  // A file that cannot be read leaves the text being edited alone.
  if (!content) return say("The macro could not be loaded: " + content.message());
  MacroText.setText(std::move(*content));
}

void FormMacroBuilder::requestMainListRefresh() {
  host_.refreshMacroList();
}

}  // namespace qb
