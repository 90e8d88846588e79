#include "library/macro_library.h"

#include "common/file_io.h"
#include "common/folder_listing.h"
#include "common/sliced_read.h"
#include "common/text.h"
#include "script/player.h"

namespace qb {

bool isListedMacroName(std::string_view name) {
  return wildcardMatchNoCase(name, kMacroPattern) && endsWithNoCase(trimBlanks(name), ".txt");
}

namespace {
constexpr std::size_t kReadSlice = 1 << 20;
}  // namespace

bool isAdvancedMacroName(std::string_view name) {
  return startsWithNoCase(name, "Macro-AM-");
}

MacroLibrary::MacroLibrary(platform::Desktop& desktop, Settings& settings, forms::ListBox& list,
                           forms::TextBox& macroText)
    : desktop_(desktop), settings_(settings), list_(list), macroText_(macroText) {}

std::string MacroLibrary::path(std::string_view entry) const {
  return joinPath(folder_, entry);
}

void MacroLibrary::locationChanged(const std::string& location) {
  settings_.put("Options", "Location", location);
  folder_ = location;
  ListMacro();
}

void MacroLibrary::ListMacro() {
  const unsigned generation = ++refillGeneration_;
  list_.clear();
  // A folder that cannot be listed shows an empty list, never another folder's files.
  const auto names = listFolder(folder_, kMacroPattern);
  if (!names) return;
  for (const auto& name : *names) {
    desktop_.loop.yield();
    if (generation != refillGeneration_) return;  // a newer refill owns the list now
    if (isListedMacroName(name)) list_.addItem(name);
  }
}

void MacroLibrary::select() {
  const int index = list_.listIndex();
  if (index < 0) return;
  const unsigned selection = ++selectGeneration_;
  const std::string entry = list_.items()[static_cast<std::size_t>(index)];
  macroText_.setText("");
  macroText_.setTag("");
  const std::string file = path(entry);
  list_.setTag(entry);
  if (isAdvancedMacroName(entry)) macroText_.setTag(entry);
  const std::size_t changes = macroText_.changeCount();
  // Anything handled between the slices that selected another entry or changed the text (a
  // recording, a removal, typing) owns the text now: this older selection loads nothing.
  const auto overtaken = [&] {
    return selection != selectGeneration_ || macroText_.changeCount() != changes ||
           desktop_.loop.quitting();
  };
  desktop_.loop.yield();
  if (overtaken()) return;
  // A big macro is read a slice at a time with the events let through between, so the window
  // never stops answering while it loads.
  SlicedRead content;
  if (!content.open(file)) return;
  while (!content.done()) {
    if (!content.readSlice(kReadSlice)) return;
    if (content.done()) break;
    desktop_.loop.yield();
    if (overtaken()) return;
  }
  macroText_.setText(content.take());
}

void MacroLibrary::openInEditor() {
  const int index = list_.listIndex();
  if (index < 0) return;
  if (const auto opened =
          desktop_.shell.openTextEditor(path(list_.items()[static_cast<std::size_t>(index)]));
      !opened)
    desktop_.dialogs.messageBox(opened.message(), kProductTitle, platform::MessageButtons::Ok);
}

int MacroLibrary::firstSelected() const {
  for (std::size_t i = 0; i < list_.count(); ++i)
    if (list_.selected(i)) return static_cast<int>(i);
  return -1;
}

void MacroLibrary::remove() {
  const int index = firstSelected();
  if (index < 0) {
    desktop_.dialogs.messageBox("Please select macro to delete", kProductTitle,
                                platform::MessageButtons::Ok);
    return;
  }
  const std::string entry = list_.items()[static_cast<std::size_t>(index)];
  if (desktop_.dialogs.messageBox("Are you sure you would like to delete macro " + entry,
                                  kProductTitle,
                                  platform::MessageButtons::YesNo) != platform::MessageAnswer::Yes)
    return;
  const std::string file = path(entry);
  ++selectGeneration_;  // a macro still loading is not shown after its removal
  list_.removeItem(static_cast<std::size_t>(index));
  if (const auto deleted = deleteFile(file); !deleted)
    desktop_.dialogs.messageBox("The macro could not be deleted: " + deleted.message(),
                                kProductTitle, platform::MessageButtons::Ok);
  macroText_.setText("");
}

void MacroLibrary::appendEntry(std::string entry) {
  list_.addItem(std::move(entry));
}

}  // namespace qb
