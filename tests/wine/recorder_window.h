#pragma once
// The recorder's windows as the Wine tests use them: finding the main window, its fields and the
// windows it opens (dialogs, message boxes), editing a field with the keyboard, and the
// clipboard filled as a person fills it (typed into another program and copied there).

#include <set>
#include <string>
#include <vector>

#include "wine_app_fixture.h"

namespace qb::winetest {

inline constexpr const char* kRecorderTitle = "Quillbarrow 4.1";

class RecorderWindowTest : public WineAppTest {
 protected:
  void startRecorder();
  // A macro file in the app folder, where the recorder lists its macros.
  void writeMacro(const std::string& name, const std::string& text);
  std::string readFile(const std::string& path);

  NativeControl control(unsigned long long window, const std::string& text);
  NativeControl control(const std::string& text) { return control(recorder_.handle, text); }
  // The window's visible one-line fields (Edit controls, those inside drop-downs too), top to
  // bottom, left to right.
  std::vector<NativeControl> oneLineFields(unsigned long long window);
  // The window's multi-line field; the first when it has more.
  NativeControl multiLineField(unsigned long long window);
  std::string text(const NativeControl& c) { return inspector().text(c.handle); }
  NativeControl macroList() { return *inspector().nth(recorder_.handle, "ListBox", 0); }
  // Clicks the list's entry `index` (entries are one line of the list's font apart).
  void clickEntry(const NativeControl& list, int index);

  // The handles of the top-level windows now, and the first visible top-level window that is
  // not among them, waiting for it.
  std::set<unsigned long long> windowHandles();
  std::optional<TopWindow> newWindow(const std::set<unsigned long long>& before,
                                     std::chrono::milliseconds wait = std::chrono::seconds(10));
  bool gone(unsigned long long window);
  // The text a message box shows (its Static controls' texts, joined).
  std::string boxText(const TopWindow& box);

  // The message box opened since `before`: its picture checked (saved as `picture`), its text
  // returned, answered with `key` ("Return", "Escape", "y", ...) and gone; empty when none came.
  std::string answerBox(const std::set<unsigned long long>& before, const std::string& picture,
                        const std::string& key);

  // Empties a one-line field with the keyboard: the caret to the end, everything to its left
  // selected, deleted.
  void emptyField(const NativeControl& field);
  // Puts `text` on the clipboard through the probe window: typed there, selected, copied.
  void copyThroughProbe(const std::string& text);

  TopWindow recorder_;
};

}  // namespace qb::winetest
