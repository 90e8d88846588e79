#include "platform/posix/desktop_entry_reader.h"

namespace qb::platform::x11 {
namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// Field codes act on whole arguments once quoting is resolved: "%%" is a percent sign, the
// others expand to nothing here.
std::string expandFieldCodes(const std::string& word) {
  std::string out;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (word[i] != '%' || i + 1 == word.size()) {
      out += word[i];
      continue;
    }
    if (word[++i] == '%') out += '%';
  }
  return out;
}

// A field code standing alone is an argument only when it has a value.
void addWord(std::vector<std::string>& words, const std::string& word) {
  if (word.size() == 2 && word[0] == '%' && word[1] != '%') return;
  words.push_back(expandFieldCodes(word));
}

}  // namespace

std::string unescapeDesktopValue(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      out += value[i];
      continue;
    }
    switch (value[++i]) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        out += '\\';
        out += value[i];
    }
  }
  return out;
}

std::map<std::string, std::string> desktopEntryKeys(std::string_view text) {
  std::map<std::string, std::string> keys;
  bool inEntry = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = trimmed(text.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    const auto eq = line.find('=');
    if (!inEntry || eq == std::string_view::npos) continue;
    const std::string key(trimmed(line.substr(0, eq)));
    // The first occurrence counts, as in GLib's key files.
    keys.emplace(key, unescapeDesktopValue(trimmed(line.substr(eq + 1))));
  }
  return keys;
}

Result<std::vector<std::string>> desktopExecArguments(std::string_view exec) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (c == ' ' || c == '\t' || c == '\n') {
      if (inWord) addWord(words, word);
      word.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c != '"') {
      word += c;
      continue;
    }
    for (++i;; ++i) {
      if (i >= exec.size()) return fail("the Exec line has an unclosed quote");
      if (exec[i] == '"') break;
      if (exec[i] == '\\' && i + 1 < exec.size() &&
          std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos)
        ++i;
      word += exec[i];
    }
  }
  if (inWord) addWord(words, word);
  return words;
}

}  // namespace qb::platform::x11
