#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qb {

// The names of the files in `folder` that match `pattern` ("*" any run, "?" one character),
// compared without regard to case, sorted by name as a file list shows them. Empty when the
// folder cannot be listed.
std::optional<std::vector<std::string>> listFolder(const std::string& folder,
                                                   std::string_view pattern);

bool wildcardMatchNoCase(std::string_view name, std::string_view pattern);

}  // namespace qb
