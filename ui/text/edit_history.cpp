#include "ui/text/edit_history.h"

#include <algorithm>
#include <utility>

namespace qb::ui {

void EditHistory::clear() {
  undo_.clear();
  redo_.clear();
}

void EditHistory::made(TextChange change, std::string_view text, bool typing) {
  if (text.substr(std::min(change.from, text.size()), change.inserted.size()) != change.inserted)
    return;
  TextChange* last = undo_.empty() ? nullptr : &undo_.back();
  if (typing && last && change.removed.empty() && last->removed.empty() &&
      last->from + last->inserted.size() == change.from && last->inserted.size() < kMergedTyping)
    last->inserted += change.inserted;
  else
    undo_.push_back(std::move(change));
  redo_.clear();
}

std::optional<TextEdit> EditHistory::step(bool redo, std::string_view text) {
  std::vector<TextChange>& from = redo ? redo_ : undo_;
  std::vector<TextChange>& to = redo ? undo_ : redo_;
  if (from.empty()) return std::nullopt;
  TextChange change = std::move(from.back());
  from.pop_back();
  const std::string& now = redo ? change.removed : change.inserted;
  const std::string& back = redo ? change.inserted : change.removed;
  if (change.from > text.size() || text.substr(change.from, now.size()) != now)
    return std::nullopt;  // the text moved on meanwhile
  TextEdit edit{change.from, now.size(), back};
  to.push_back(std::move(change));
  return edit;
}

}  // namespace qb::ui
