// The system's file access behind common/os_files.h: what a path names, reads at any offset,
// listings, removal and folders, on the real file system of each system.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/os_files.h"
#include "support/sim_program.h"

namespace qb {
namespace {

namespace fs = std::filesystem;

class OsFileAccess : public ::testing::Test {
 protected:
  test::TempFolder temp_;
};

TEST_F(OsFileAccess, APathIsSeenAsWhatItNames) {
  temp_.writeFile("Macro-a.txt", "w:abc\r\n");
  fs::create_directory(temp_.pathOf("folder"));
  const auto file = os::fileStatus(temp_.pathOf("Macro-a.txt"));
  EXPECT_EQ(file.kind, os::FileKind::regular);
  EXPECT_EQ(file.size, 7u);
  EXPECT_TRUE(file.ownerMayWrite);
  EXPECT_LT(std::chrono::abs(std::chrono::system_clock::now() - file.modified),
            std::chrono::minutes(5));
  EXPECT_EQ(os::fileStatus(temp_.pathOf("folder")).kind, os::FileKind::folder);
  const auto gone = os::fileStatus(temp_.pathOf("gone.txt"));
  EXPECT_EQ(gone.kind, os::FileKind::missing);
  EXPECT_EQ(gone.error, "No such file or directory");
  // A name below a file names nothing either.
  EXPECT_EQ(os::fileStatus(joinPath(temp_.pathOf("Macro-a.txt"), "x")).kind, os::FileKind::missing);
#ifndef _WIN32
  EXPECT_EQ(os::fileStatus("/dev/null").kind, os::FileKind::other);
#endif
}

TEST_F(OsFileAccess, AFileIsReadFromAnyOffsetUpToItsEnd) {
  temp_.writeFile("data.bin", "0123456789");
  std::string error;
  const os::ReadFile file = os::ReadFile::open(temp_.pathOf("data.bin"), error);
  ASSERT_TRUE(file.isOpen()) << error;
  EXPECT_EQ(file.size(), 10u);
  struct Case {
    std::uint64_t offset;
    std::size_t bytes;
    std::string read;
  };
  const Case cases[] = {{0, 10, "0123456789"}, {3, 4, "3456"}, {7, 10, "789"},
                        {10, 5, ""},           {42, 5, ""},    {0, 0, ""}};
  for (const Case& c : cases) {
    std::string buffer(c.bytes, '\0');
    const auto got = file.readAt(c.offset, buffer.data(), c.bytes);
    ASSERT_TRUE(got) << c.offset;
    EXPECT_EQ(buffer.substr(0, *got), c.read) << c.offset << " " << c.bytes;
  }
  std::string missing;
  EXPECT_FALSE(os::ReadFile::open(temp_.pathOf("gone.bin"), missing).isOpen());
  EXPECT_EQ(missing, "No such file or directory");
}

TEST_F(OsFileAccess, AListingNamesEveryEntryWithItsKind) {
  temp_.writeFile("Macro-a.txt", "x");
  temp_.writeFile("b", "");
  fs::create_directory(temp_.pathOf("sub"));
#ifndef _WIN32
  fs::create_symlink("Macro-a.txt", temp_.pathOf("link"));
  fs::create_symlink("nowhere", temp_.pathOf("dangling"));
#endif
  auto entries = os::listFolder(temp_.path());
  ASSERT_TRUE(entries);
  std::sort(entries->begin(), entries->end(),
            [](const os::FolderEntry& a, const os::FolderEntry& b) { return a.name < b.name; });
  std::vector<std::string> seen;
  for (const auto& e : *entries)
    seen.push_back(e.name + (e.link ? " link " : " ") + std::to_string(static_cast<int>(e.kind)));
  const auto kind = [](os::FileKind k) { return std::to_string(static_cast<int>(k)); };
  std::vector<std::string> expected{"Macro-a.txt " + kind(os::FileKind::regular),
                                    "b " + kind(os::FileKind::regular),
                                    "sub " + kind(os::FileKind::folder)};
#ifndef _WIN32
  expected.insert(expected.begin() + 1, "dangling link " + kind(os::FileKind::missing));
  expected.push_back("link link " + kind(os::FileKind::regular));
  std::sort(expected.begin(), expected.end());
#endif
  EXPECT_EQ(seen, expected);
  EXPECT_TRUE(os::listFolder(temp_.pathOf("sub"))->empty());
  EXPECT_FALSE(os::listFolder(temp_.pathOf("gone")));
  EXPECT_FALSE(os::listFolder(temp_.pathOf("b")));
}

TEST_F(OsFileAccess, RemovalSaysWhetherThereWasNothingOrWhyItFailed) {
  temp_.writeFile("file", "x");
  fs::create_directory(temp_.pathOf("empty"));
  fs::create_directories(temp_.pathOf("full/inside"));
  std::string error = "stale";
  EXPECT_TRUE(os::removeEntry(temp_.pathOf("file"), error));
  EXPECT_TRUE(os::removeEntry(temp_.pathOf("empty"), error));
  EXPECT_FALSE(os::removeEntry(temp_.pathOf("file"), error));
  EXPECT_EQ(error, "");  // nothing there: no reason to give
  EXPECT_FALSE(os::removeEntry(temp_.pathOf("full"), error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(fs::exists(temp_.pathOf("full/inside")));
}

TEST_F(OsFileAccess, FoldersAreMadeDownToTheLastOne) {
  const std::string deep = joinPath(joinPath(joinPath(temp_.path(), "a"), "b"), "c");
  EXPECT_TRUE(makeFolders(deep));
  EXPECT_TRUE(fs::is_directory(deep));
  EXPECT_TRUE(makeFolders(deep));  // already there
  EXPECT_FALSE(os::makeFolder(deep));
  temp_.writeFile("file", "x");
  EXPECT_FALSE(makeFolders(joinPath(temp_.pathOf("file"), "below")));
  EXPECT_EQ(fs::path(os::currentFolder()), fs::current_path());
}

}  // namespace
}  // namespace qb
