// A path's folder and a name in a folder, worked out on the text: they must read paths as the
// system's std::filesystem::path does, which stands in for the system here.

#include "common/folder_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace qb {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> paths() {
  std::vector<std::string> all{"/usr/lib/quillbarrow/daventi",
                               "/a",
                               "/",
                               "a",
                               "",
                               "a/b",
                               "a//b",
                               "a/b/",
                               "/a/b.txt",
                               "./Macro-x.txt",
                               "//a"};
#ifdef _WIN32
  for (const char* windows :
       {"C:\\Program Files\\Quillbarrow\\Daventi.exe", "C:\\a", "C:\\", "C:a", "C:", "C:/a/b",
        "\\\\server\\share\\Macro-x.txt", "\\\\server\\share", "\\a\\b", "a\\b\\", "C:\\a\\\\b"})
    all.emplace_back(windows);
#endif
  return all;
}

TEST(FolderPath, TheFolderOfAPathIsTheOneTheSystemReads) {
  for (const std::string& path : paths())
    EXPECT_EQ(parentFolder(path), fs::path(path).parent_path().string()) << path;
}

TEST(FolderPath, ANameInAFolderIsJoinedAsTheSystemJoinsIt) {
  for (const std::string& folder : paths())
    for (const char* name : {"Macro-x.txt", ".qb-1-0123456789abcdef.tmp"})
      EXPECT_EQ(pathIn(folder, name), (fs::path(folder) / name).string()) << folder;
}

}  // namespace
}  // namespace qb
