#include "ui/text/text_lines.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace qb::ui {

namespace {

bool isContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

bool isWordByte(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80 ||
         c == '_';
}

std::string_view TextLines::text() const {
  return source_ ? std::string_view(*source_) : std::string_view();
}

void TextLines::setSource(const std::string* text) {
  source_ = text;
  checkpoints_.assign(1, 0);
  widestLine_ = 0;
  indexFrom(0);
}

void TextLines::indexFrom(std::size_t block) {
  const std::string_view all = text();
  checkpoints_.resize(block + 1);
  const char* const begin = all.data();
  const char* const end = begin + all.size();
  std::size_t line = block * kStride, start = checkpoints_[block];
  for (const char* p = begin + start; p < end;) {
    const void* found = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    if (!found) break;
    p = static_cast<const char*>(found) + 1;
    const std::size_t next = static_cast<std::size_t>(p - begin);
    widestLine_ = std::max(widestLine_, next - start - 1);  // without its LF
    start = next;
    if (++line % kStride == 0) checkpoints_.push_back(start);
  }
  widestLine_ = std::max(widestLine_, all.size() - start);
  lines_ = line + 1;
  indexedSize_ = all.size();
}

bool TextLines::replaced(std::size_t from, std::size_t removed, std::size_t inserted) {
  if (from > indexedSize_ || removed > indexedSize_ - from ||
      indexedSize_ - removed + inserted != text().size()) {
    setSource(source_);
    return false;
  }
  // The text before the change is as it was, and so is its index: the rest is indexed again.
  indexFrom(lineOf(from) / kStride);
  return true;
}

std::size_t TextLines::snap(std::size_t at) const {
  const std::string_view all = text();
  at = std::min(at, indexedSize_);
  while (at > 0 && at < indexedSize_ &&
         (isContinuation(all[at]) || (all[at] == '\n' && all[at - 1] == '\r')))
    --at;
  return at;
}

std::size_t TextLines::lineOf(std::size_t offset) const {
  offset = std::min(offset, indexedSize_);
  const std::size_t block =
      static_cast<std::size_t>(std::upper_bound(checkpoints_.begin(), checkpoints_.end(), offset) -
                               checkpoints_.begin()) -
      1;
  const std::string_view all = text();
  const auto breaks = std::count(all.begin() + static_cast<std::ptrdiff_t>(checkpoints_[block]),
                                 all.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
  return block * kStride + static_cast<std::size_t>(breaks);
}

std::size_t TextLines::lineStart(std::size_t line) const {
  line = std::min(line, lines_ - 1);
  const std::string_view all = text();
  std::size_t at = checkpoints_[line / kStride];
  for (std::size_t n = line % kStride; n > 0; --n) at = all.find('\n', at) + 1;
  return at;
}

std::size_t TextLines::lineEnd(std::size_t line) const {
  const std::string_view all = text();
  const std::size_t start = lineStart(line);
  std::size_t end = all.find('\n', start);
  if (end == std::string_view::npos || line + 1 >= lines_) return indexedSize_;
  if (end > start && all[end - 1] == '\r') --end;
  return end;
}

std::string_view TextLines::lineText(std::size_t line) const {
  if (line >= lines_) return {};
  const std::size_t start = lineStart(line);
  return text().substr(start, lineEnd(line) - start);
}

std::size_t TextLines::nextPosition(std::size_t at) const {
  const std::string_view all = text();
  if (at >= indexedSize_) return indexedSize_;
  if (all[at] == '\r' && at + 1 < indexedSize_ && all[at + 1] == '\n') return at + 2;
  ++at;
  while (at < indexedSize_ && isContinuation(all[at])) ++at;
  return at;
}

std::size_t TextLines::previousPosition(std::size_t at) const {
  const std::string_view all = text();
  if (at == 0) return 0;
  at = std::min(at, indexedSize_);
  if (all[at - 1] == '\n' && at >= 2 && all[at - 2] == '\r') return at - 2;
  --at;
  while (at > 0 && isContinuation(all[at])) --at;
  return at;
}

std::size_t TextLines::nextWord(std::size_t at) const {
  const std::string_view all = text();
  const std::size_t end = lineEnd(lineOf(at));
  if (at >= end) return nextPosition(at);
  while (at < end && isWordByte(all[at])) ++at;
  while (at < end && !isWordByte(all[at])) ++at;
  return at;
}

std::size_t TextLines::previousWord(std::size_t at) const {
  const std::string_view all = text();
  const std::size_t start = lineStart(lineOf(at));
  if (at <= start) return previousPosition(at);
  while (at > start && !isWordByte(all[at - 1])) --at;
  while (at > start && isWordByte(all[at - 1])) --at;
  return at;
}

std::pair<std::size_t, std::size_t> TextLines::wordAt(std::size_t at) const {
  const std::string_view all = text();
  at = std::min(at, indexedSize_);
  const std::size_t line = lineOf(at), start = lineStart(line), end = lineEnd(line);
  at = std::min(at, end);
  std::size_t a = at, b = at;
  while (a > start && isWordByte(all[a - 1])) --a;
  while (b < end && isWordByte(all[b])) ++b;
  return {a, b};
}

std::size_t shiftedPosition(std::size_t at, std::size_t from, std::size_t removed,
                            std::size_t inserted) {
  if (at <= from) return at;
  if (at >= from + removed) return at - removed + inserted;
  return from + inserted;
}

std::string withCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

std::string withLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  return out;
}

}  // namespace qb::ui
