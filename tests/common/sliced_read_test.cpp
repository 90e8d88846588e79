#include "common/sliced_read.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/file_io.h"

namespace qb {
namespace {

namespace fs = std::filesystem;

class SlicedReading : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("qb-sliced-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string pathOf(const std::string& name) const { return (folder_ / name).string(); }

  fs::path folder_;
};

TEST_F(SlicedReading, ReadsTheWholeFileInAnySlicesAndRefusesWhatAWholeReadRefuses) {
  std::string content;
  for (int i = 0; i < 1000; ++i) content += "w:{" + std::to_string(i) + "}-" + "\r\n";
  std::ofstream(pathOf("Macro-a.txt"), std::ios::binary) << content;
  std::ofstream(pathOf("Macro-empty.txt"), std::ios::binary);
  for (const std::size_t slice :
       {std::size_t{1}, std::size_t{7}, std::size_t{4096}, content.size(), content.size() * 2}) {
    SlicedRead file;
    ASSERT_TRUE(file.open(pathOf("Macro-a.txt")));
    int slices = 0;
    while (!file.done() && slices++ <= 20000) ASSERT_TRUE(file.readSlice(slice));
    EXPECT_EQ(file.take(), content) << slice;
  }
  SlicedRead empty;
  ASSERT_TRUE(empty.open(pathOf("Macro-empty.txt")));
  EXPECT_TRUE(empty.done());
  EXPECT_EQ(empty.take(), "");

  fs::create_directory(pathOf("Macro-dir.txt"));
  for (const std::string& path :
       {pathOf("Macro-dir.txt"), pathOf("Macro-gone.txt"), std::string("/dev/zero")}) {
    const auto whole = readWholeFile(path);
    SlicedRead file;
    const auto sliced = file.open(path);
    ASSERT_FALSE(whole);
    ASSERT_FALSE(sliced);
    EXPECT_EQ(sliced.message(), whole.message());
  }
}

TEST_F(SlicedReading, AFileCutShortWhileItIsReadIsNeverDone) {
  const std::string path = pathOf("Macro-cut.txt");
  std::ofstream(path, std::ios::binary) << std::string(100'000, 'x');
  SlicedRead file;
  ASSERT_TRUE(file.open(path));
  ASSERT_TRUE(file.readSlice(40'000));
  fs::resize_file(path, 50'000);
  const auto slice = file.readSlice(40'000);
  ASSERT_FALSE(slice);
  EXPECT_EQ(slice.message(), path + ": cannot be read");
  EXPECT_FALSE(file.done());
}

}  // namespace
}  // namespace qb
