#include "common/folder_listing.h"

#include <algorithm>
#include <filesystem>

#include "common/text.h"
#include "common/utf8_path.h"

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
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : pathFromUtf8(folder), ec);
  if (ec) return std::nullopt;
  std::vector<std::string> names;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return std::nullopt;
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    std::string name = utf8FromPath(it->path().filename());
    if (wildcardMatchNoCase(name, pattern)) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string la = toLowerAscii(a), lb = toLowerAscii(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

}  // namespace qb
