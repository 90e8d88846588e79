#pragma once
// A text field's undo and redo: each change keeps the bytes it removed and inserted, so undoing
// it is one more replaced range and the text itself is never copied. Typing one character
// after another undoes as one change.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qb::ui {

// `removed` bytes from `from` became `inserted`.
struct TextChange {
  std::size_t from = 0;
  std::string removed, inserted;
};

// An edit to make: `count` bytes from `from` become `text`.
struct TextEdit {
  std::size_t from = 0, count = 0;
  std::string text;
  bool operator==(const TextEdit&) const = default;
};

class EditHistory {
 public:
  // Typed runs grow up to this many bytes before the next one starts.
  static constexpr std::size_t kMergedTyping = 64;

  void clear();
  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }

  // A change the field made, told once the owner has applied it: `text` is the text after it.
  // Kept only when the text holds what was inserted (the owner may have made something else of
  // it, and then there is nothing to undo to); redo is forgotten. `typing` joins a typed
  // insertion right after the previous one.
  void made(TextChange change, std::string_view text, bool typing);

  // The edit that undoes (or, with `redo`, makes again) the last change, which moves to the
  // other list; nothing when there is none, or when `text` no longer holds what the change left
  // there (then the change is dropped).
  std::optional<TextEdit> step(bool redo, std::string_view text);

 private:
  std::vector<TextChange> undo_, redo_;
};

}  // namespace qb::ui
