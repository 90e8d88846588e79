#include "common/folder_path.h"

#include "common/os_files.h"

namespace qb {
namespace {

// The length of the drive that begins a Windows path ("C:"). A server's name ("\\server") is
// read as folders below the root, as the C++ library's paths read it.
std::size_t rootNameLength(std::string_view path) {
  if (os::preferredSeparator() != '\\') return 0;
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
    return 2;
  return 0;
}

}  // namespace

std::string parentFolder(std::string_view path) {
  const std::size_t root = rootNameLength(path);
  std::size_t last = path.size();
  while (last > root && !os::isSeparator(path[last - 1])) --last;
  if (last == root) return std::string(path.substr(0, root));  // "a", "C:a": no folder named
  // `last` is just after the separators before the last name; the run of them goes.
  std::size_t end = last - 1;
  while (end > root && os::isSeparator(path[end - 1])) --end;
  // Separators right after the root name are the root folder itself: one of them stays.
  if (end == root) return std::string(path.substr(0, root + 1));
  return std::string(path.substr(0, end));
}

std::string pathIn(std::string_view folder, std::string_view name) {
  std::string path(folder);
  // "C:" alone names the current folder of that drive: "C:name" is a name in it.
  const bool driveOnly = folder.size() == 2 && rootNameLength(folder) == 2;
  if (!path.empty() && !os::isSeparator(path.back()) && !driveOnly)
    path += os::preferredSeparator();
  path += name;
  return path;
}

}  // namespace qb
