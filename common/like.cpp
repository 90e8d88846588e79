#include "common/like.h"

#include <vector>

namespace qb {
namespace {

// Matches one character against the bracket list starting at pattern[open]; sets `end` past ']'.
bool matchList(char c, std::string_view pattern, std::size_t open, std::size_t& end, bool& ok) {
  std::size_t i = open + 1;
  bool negate = false;
  if (i < pattern.size() && pattern[i] == '!') negate = true, ++i;
  bool found = false;
  bool first = true;
  for (; i < pattern.size(); ++i) {
    if (pattern[i] == ']' && !first) break;
    first = false;
    if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
      if (c >= pattern[i] && c <= pattern[i + 2]) found = true;
      i += 2;
    } else if (pattern[i] == c) {
      found = true;
    }
  }
  if (i >= pattern.size()) {
    ok = false;  // no closing bracket: treat "[" literally
    return false;
  }
  ok = true;
  end = i + 1;
  return found != negate;
}

}  // namespace

bool likeMatch(std::string_view text, std::string_view pattern) {
  // Iterative match with backtracking to the last "*": linear in practice, no recursion.
  std::size_t t = 0, p = 0;
  std::size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    bool advanced = false;
    if (p < pattern.size()) {
      const char pc = pattern[p];
      if (pc == '*') {
        starP = p++;
        starT = t;
        continue;
      }
      if (pc == '?') {
        ++t, ++p, advanced = true;
      } else if (pc == '#') {
        if (text[t] >= '0' && text[t] <= '9') ++t, ++p, advanced = true;
      } else if (pc == '[') {
        std::size_t end = 0;
        bool ok = false;
        const bool match = matchList(text[t], pattern, p, end, ok);
        if (!ok) {
          if (text[t] == '[') ++t, ++p, advanced = true;
        } else if (match) {
          ++t, p = end, advanced = true;
        }
      } else if (pc == text[t]) {
        ++t, ++p, advanced = true;
      }
    }
    if (advanced) continue;
    if (starP == std::string_view::npos) return false;
    p = starP + 1;
    t = ++starT;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace qb
