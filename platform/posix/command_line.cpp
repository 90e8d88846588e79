#include "platform/posix/command_line.h"

namespace qb::platform::x11 {

Result<std::vector<std::string>> splitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;  // "" makes an empty argument
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
      ++i;
      continue;
    }
    inWord = true;
    if (c == '\\') {
      if (i + 1 >= line.size()) {
        word += '\\';  // a lone backslash at the end stays itself
        ++i;
      } else if (line[i + 1] == '\n') {
        i += 2;  // an escaped line break joins the lines
      } else {
        word += line[i + 1];
        i += 2;
      }
      continue;
    }
    if (c == '\'') {
      const auto close = line.find('\'', i + 1);
      if (close == std::string_view::npos) return fail("the command line has an unclosed '");
      word.append(line.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    if (c == '"') {
      ++i;
      bool closed = false;
      while (i < line.size()) {
        const char d = line[i];
        if (d == '"') {
          closed = true;
          ++i;
          break;
        }
        if (d == '\\' && i + 1 < line.size()) {
          const char next = line[i + 1];
          if (next == '"' || next == '\\' || next == '$' || next == '`') {
            word += next;
            i += 2;
            continue;
          }
          if (next == '\n') {
            i += 2;
            continue;
          }
        }
        word += d;
        ++i;
      }
      if (!closed) return fail("the command line has an unclosed \"");
      continue;
    }
    word += c;
    ++i;
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace qb::platform::x11
