// Whole-file writes: a name the file system holds is written, a replaced file keeps its access
// rights, a read-only file is not replaced, a failed flush fails the save, and no temporary
// file is left behind.

#include "common/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace qb {
namespace {

namespace fs = std::filesystem;

class FileIo : public ::testing::Test {
 protected:
  FileIo() {
    std::random_device random;
    folder_ = fs::temp_directory_path() /
              ("qb-file-io-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(folder_);
  }
  ~FileIo() override {
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
  }
  std::string pathOf(const std::string& name) const { return (folder_ / name).string(); }
  std::string read(const std::string& name) const {
    std::ifstream in(pathOf(name), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(folder_))
      found.push_back(e.path().filename().string());
    return found;
  }

  fs::path folder_;
};

TEST_F(FileIo, NamesUpToTheFileSystemsLimitAreWritten) {
  for (const std::size_t length : {13u, 200u, 248u, 249u, 250u, 254u, 255u}) {
    const std::string name = "Macro-AM-" + std::string(length - 13, 'n') + ".txt";
    ASSERT_EQ(name.size(), length);
    const auto written = writeFileAtomic(pathOf(name), "w:a\r\n");
    EXPECT_TRUE(written.ok()) << length << ": " << written.message();
    EXPECT_EQ(read(name), "w:a\r\n") << length;
    std::error_code ignored;
    fs::remove(pathOf(name), ignored);
    EXPECT_TRUE(names().empty()) << length;
  }
}

TEST_F(FileIo, AReplacedFileKeepsItsAccessRights) {
  const std::string name = "Macro-login.txt";
  ASSERT_TRUE(writeFileAtomic(pathOf(name), "w:secret\r\n").ok());
  fs::permissions(pathOf(name), fs::perms::owner_read | fs::perms::owner_write);
  // What the system made of them: Windows keeps only whether a file is read-only.
  const fs::perms rights = fs::status(pathOf(name)).permissions() & fs::perms::all;
#ifndef _WIN32
  ASSERT_EQ(rights, fs::perms::owner_read | fs::perms::owner_write);
#endif
  ASSERT_TRUE(writeFileAtomic(pathOf(name), "w:other\r\n").ok());
  EXPECT_EQ(read(name), "w:other\r\n");
  EXPECT_EQ(fs::status(pathOf(name)).permissions() & fs::perms::all, rights);
  EXPECT_EQ(names(), std::vector<std::string>{name});
}

// MinGW's std::filesystem makes no symbolic links on Windows.
#ifndef _WIN32
TEST_F(FileIo, WritingThroughALinkReplacesTheFileItPointsAt) {
  ASSERT_TRUE(writeFileAtomic(pathOf("real.txt"), "old\r\n").ok());
  fs::create_symlink("real.txt", pathOf("Macro-link.txt"));
  ASSERT_TRUE(writeFileAtomic(pathOf("Macro-link.txt"), "new\r\n").ok());
  EXPECT_TRUE(fs::is_symlink(pathOf("Macro-link.txt")));
  EXPECT_EQ(read("real.txt"), "new\r\n");
}
#endif

TEST_F(FileIo, AReadOnlyFileIsNotReplaced) {
  const std::string name = "Macro-kept.txt";
  ASSERT_TRUE(writeFileAtomic(pathOf(name), "w:kept\r\n").ok());
  fs::permissions(pathOf(name), fs::perms::owner_read | fs::perms::group_read);
  const auto written = writeFileAtomic(pathOf(name), "w:lost\r\n");
  EXPECT_FALSE(written.ok());
  EXPECT_NE(written.message().find(pathOf(name)), std::string::npos) << written.message();
  EXPECT_EQ(read(name), "w:kept\r\n");
  EXPECT_EQ(names(), std::vector<std::string>{name});
}

TEST_F(FileIo, AFailedWriteLeavesNoTemporaryFile) {
  fs::create_directory(pathOf("Macro-dir.txt"));
  const auto written = writeFileAtomic(pathOf("Macro-dir.txt"), "w:a\r\n");
  EXPECT_FALSE(written.ok());
  EXPECT_NE(written.message().find(pathOf("Macro-dir.txt")), std::string::npos)
      << written.message();
  EXPECT_EQ(names(), std::vector<std::string>{"Macro-dir.txt"});
}

// A save lasts only once the file is on the disk before the rename and the folder after it. A
// flush that fails is a failed save that says which file and why: before the rename the old
// file stays; after it the new one is in place but might not survive a power cut. Neither
// leaves a temporary file.
TEST_F(FileIo, AFailedFlushIsAFailedSave) {
  struct Case {
    FlushStep step;
    const char* says;
    const char* left;
  };
  const Case cases[] = {
      {FlushStep::file, "the file could not be flushed to the disk: Input/output error",
       "w:old\r\n"},
      {FlushStep::folder, "the folder could not be flushed to the disk: Input/output error",
       "w:new\r\n"},
  };
  const std::string name = "Macro-flushed.txt";
  for (const Case& c : cases) {
    ASSERT_TRUE(writeFileAtomic(pathOf(name), "w:old\r\n").ok());
    failNextFlushForTesting(c.step, "Input/output error");
    const auto written = writeFileAtomic(pathOf(name), "w:new\r\n");
    EXPECT_FALSE(written.ok()) << c.says;
    EXPECT_EQ(written.message(), pathOf(name) + ": " + c.says);
    EXPECT_EQ(read(name), c.left);
    EXPECT_EQ(names(), std::vector<std::string>{name}) << c.says;
  }
}

TEST_F(FileIo, FoldersAndDevicesAreNotReadAsFiles) {
  fs::create_directory(pathOf("Macro-dir.txt"));
  struct Case {
    std::string path;
    const char* says;
  };
  std::vector<Case> cases{{pathOf("Macro-dir.txt"), "is a folder, not a file"},
                          {pathOf("Macro-gone.txt"), "No such file or directory"}};
#ifndef _WIN32
  cases.push_back({"/dev/zero", "is not a regular file"});
  cases.push_back({"/dev/null", "is not a regular file"});
#endif
  for (const Case& c : cases) {
    const auto read = readWholeFile(c.path);
    ASSERT_FALSE(read) << c.path;
    EXPECT_EQ(read.message(), c.path + ": " + c.says);
  }
}

}  // namespace
}  // namespace qb
