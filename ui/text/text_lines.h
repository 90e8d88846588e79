#pragma once
// The lines of a text the field does not own: where every kStride-th line begins, so the lines
// between are found from there and the index of a million lines is a few pages. Positions are
// byte offsets into the UTF-8 text; line breaks are LF or CR LF. Toolkit-free: the Qt and the
// Win32 text fields lay out and edit through it.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qb::ui {

class TextLines {
 public:
  static constexpr std::size_t kStride = 64;

  // A whole new text, kept by pointer (null is an empty text): indexed from its start.
  void setSource(const std::string* text);
  const std::string* source() const { return source_; }
  // The source had `removed` bytes from `from` replaced by `inserted` new ones: the lines before
  // the change keep their index. False when the change does not fit the text as indexed (a
  // change not told, or told twice): then the whole text is indexed afresh.
  bool replaced(std::size_t from, std::size_t removed, std::size_t inserted);

  std::string_view text() const;
  // The size of the text as indexed, which positions never pass.
  std::size_t size() const { return indexedSize_; }
  // One more than the line breaks: a text ending in a line break has an empty last line.
  std::size_t lineCount() const { return lines_; }
  // The longest line in bytes without its line break; only grows between whole new texts.
  std::size_t widestLine() const { return widestLine_; }
  // The index's own memory, in bytes.
  std::size_t indexBytes() const { return checkpoints_.capacity() * sizeof(std::size_t); }

  std::size_t lineOf(std::size_t offset) const;
  std::size_t lineStart(std::size_t line) const;
  // The end of a line's visible text, before its CR LF or LF.
  std::size_t lineEnd(std::size_t line) const;
  // A line's visible text, or nothing past the last line.
  std::string_view lineText(std::size_t line) const;

  // The nearest position at or before `at` where the caret may stand: never inside a UTF-8
  // character or between CR and LF.
  std::size_t snap(std::size_t at) const;
  // One character on or back; a CR LF is one step.
  std::size_t nextPosition(std::size_t at) const;
  std::size_t previousPosition(std::size_t at) const;
  // Past the word and the gap after it, or back to the start of the word before; at the edge
  // of a line, across its line break.
  std::size_t nextWord(std::size_t at) const;
  std::size_t previousWord(std::size_t at) const;
  // The word around `at` within its line (empty where there is none), as [first, second).
  std::pair<std::size_t, std::size_t> wordAt(std::size_t at) const;

 private:
  // Indexes the text again from the start of a block of kStride lines to its end.
  void indexFrom(std::size_t block);

  const std::string* source_ = nullptr;
  std::vector<std::size_t> checkpoints_{0};
  std::size_t lines_ = 1;
  std::size_t indexedSize_ = 0;
  std::size_t widestLine_ = 0;
};

// Where a position goes when `removed` bytes from `from` become `inserted` new ones: after the
// change it moves with the text, inside the removed part it goes to the end of the new one.
std::size_t shiftedPosition(std::size_t at, std::size_t from, std::size_t removed,
                            std::size_t inserted);

// Bytes that make up words (letters, digits, '_' and every non-ASCII character).
bool isWordByte(char c);

// Text from elsewhere (the clipboard, typing) in the field's line breaks: CR LF, whichever of
// CR LF, CR or LF it came with.
std::string withCrLf(std::string_view text);
// The field's text with LF line breaks, as a toolkit's clipboard takes it.
std::string withLf(std::string_view text);

}  // namespace qb::ui
