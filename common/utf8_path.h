#pragma once
// Paths are UTF-8 std::string everywhere in the core. std::filesystem::path made from a
// std::string, and a stream opened with one, read it in the system's narrow encoding: UTF-8 on
// Linux, but the ANSI code page on Windows, where a folder named "Müller" or "日本" would then
// not be found. The core reaches the file system through common/os_files.h, which takes UTF-8
// itself; code that uses std::filesystem (the tests, the tools) converts with these two.

#include <filesystem>
#include <string>
#include <string_view>

namespace qb {

// The path named by the UTF-8 text. On Linux the bytes are taken as they are (any byte string
// is a valid name there); on Windows they become UTF-16, and text that is not UTF-8 (which can
// name no file there) is read in the ANSI code page instead.
std::filesystem::path pathFromUtf8(std::string_view utf8);

// The path as UTF-8 text; on Windows, a name that is not valid UTF-16 comes back with U+FFFD in
// place of what cannot be converted.
std::string utf8FromPath(const std::filesystem::path& path);

}  // namespace qb
