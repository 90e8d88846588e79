#pragma once
// A path's folder, and a name in a folder, worked out on the UTF-8 text as the system reads it:
// '/' separates names everywhere, '\\' also on Windows, where a drive ("C:") may begin a path.

#include <string>
#include <string_view>

namespace qb {

// The path without its last name: "/a/b" -> "/a", "/a" -> "/", "C:\a" -> "C:\", "a" -> "".
// Reads as std::filesystem::path::parent_path does.
std::string parentFolder(std::string_view path);

// `name` in `folder`: "" names the current folder, and a folder that ends in a separator gets
// no second one.
std::string pathIn(std::string_view folder, std::string_view name);

}  // namespace qb
