#include "platform/ini_settings.h"

#include <cstdlib>

#include "common/file_io.h"
#include "common/folder_path.h"
#include "common/temporary_files.h"
#include "common/text.h"

namespace qb::platform {
namespace {

std::string escape(std::string_view v) {
  std::string out;
  for (char c : v) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

std::string unescape(std::string_view v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '\\' && i + 1 < v.size()) {
      const char n = v[++i];
      out += n == 'r' ? '\r' : n == 'n' ? '\n' : n;
    } else {
      out += v[i];
    }
  }
  return out;
}

}  // namespace

IniSettings::IniSettings(std::string path) : path_(std::move(path)) {
  // Opened at every start: the place to clear what a cut-short rewrite left beside the file.
  removeAbandonedTemporaries(parentFolder(path_));
  load();
}

void IniSettings::load() {
  entries_.clear();
  const auto content = readWholeFile(path_);
  if (!content) return;
  std::string section;
  std::size_t start = 0;
  while (start <= content->size()) {
    auto end = content->find('\n', start);
    if (end == std::string::npos) end = content->size();
    std::string_view line(content->data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    start = end + 1;
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || section.empty()) continue;
    entries_.push_back({section, std::string(line.substr(0, eq)), unescape(line.substr(eq + 1))});
  }
}

std::optional<std::string> IniSettings::read(std::string_view section, std::string_view key) {
  for (const auto& e : entries_)
    if (equalsNoCase(e.section, section) && equalsNoCase(e.key, key)) return e.value;
  return std::nullopt;
}

Result<> IniSettings::write(std::string_view section, std::string_view key,
                            std::string_view value) {
  bool found = false;
  for (auto& e : entries_)
    if (equalsNoCase(e.section, section) && equalsNoCase(e.key, key)) {
      e.value = value;
      found = true;
      break;
    }
  if (!found) {
    // Keep a section's keys together, under the spelling the section was first written with.
    std::size_t at = entries_.size();
    std::string sectionName(section);
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (equalsNoCase(entries_[i].section, section)) at = i + 1, sectionName = entries_[i].section;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at),
                    Entry{sectionName, std::string(key), std::string(value)});
  }
  makeFolders(parentFolder(path_));
  return writeFileAtomic(path_, serialise());
}

std::string IniSettings::serialise() const {
  std::string out;
  std::string current;
  bool first = true;
  for (const auto& e : entries_) {
    if (first || e.section != current) {
      if (!first) out += '\n';
      out += "[" + e.section + "]\n";
      current = e.section;
      first = false;
    }
    out += e.key + "=" + escape(e.value) + "\n";
  }
  return out;
}

std::string defaultSettingsPath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    base = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    base = std::string(home) + "/.config";
  else
    base = ".";
  return base + "/quillbarrow/settings.ini";
}

}  // namespace qb::platform
