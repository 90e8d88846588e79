#include "common/folder_listing.h"

#include <algorithm>

#include "common/os_files.h"
#include "common/text.h"

namespace qb {

bool wildcardMatchNoCase(std::string_view name, std::string_view pattern) {
  std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || toLowerAscii(pattern[p]) == toLowerAscii(name[n]))) {
      ++n, ++p;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::optional<std::vector<std::string>> listFolder(const std::string& folder,
                                                   std::string_view pattern) {
  auto entries = os::listFolder(folder);
  if (!entries) return std::nullopt;
  std::vector<std::string> names;
  for (os::FolderEntry& entry : *entries) {
    if (entry.kind != os::FileKind::regular) continue;
    if (wildcardMatchNoCase(entry.name, pattern)) names.push_back(std::move(entry.name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string la = toLowerAscii(a), lb = toLowerAscii(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

}  // namespace qb
