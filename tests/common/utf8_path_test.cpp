// Folders and files named with letters outside ASCII: the core's paths are UTF-8 on every
// system, while Windows would read a narrow path in its ANSI code page.

#include "common/utf8_path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/file_io.h"
#include "common/folder_listing.h"
#include "common/sliced_read.h"
#include "common/temporary_files.h"
#include "support/sim_program.h"

namespace qb {
namespace {

TEST(Utf8Paths, AFolderWithLettersOfSeveralScriptsIsWrittenReadListedAndCleared) {
  const test::TempFolder temp;
  const std::string folder = joinPath(temp.path(), "Müller Жук 日本");
  const std::string file = joinPath(folder, "Macro-Grüße-日本.txt");
  ASSERT_TRUE(makeFolders(folder));
  // The name on the disk is the UTF-8 text, not its bytes read in another encoding.
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(temp.path()) /
                                            std::filesystem::path(u8"Müller Жук 日本")));

  ASSERT_TRUE(canWriteIn(folder));
  ASSERT_TRUE(writeFileAtomic(file, "w:ä\r\n").ok());
  ASSERT_TRUE(writeFileAtomic(file, "w:é\r\n").ok());  // replaces it
  EXPECT_TRUE(fileExists(file));
  EXPECT_TRUE(isRegularFile(file).ok());
  const auto read = readWholeFile(file);
  ASSERT_TRUE(read.ok()) << read.message();
  EXPECT_EQ(*read, "w:é\r\n");
  {
    // Closed at the end of the block: Windows deletes no file that is open.
    SlicedRead sliced;
    ASSERT_TRUE(sliced.open(file).ok());
    ASSERT_TRUE(sliced.readSlice(64).ok());
    EXPECT_TRUE(sliced.done());
    EXPECT_EQ(sliced.take(), "w:é\r\n");
  }

  EXPECT_EQ(listFolder(folder, "Macro-*.txt"),
            std::optional(std::vector<std::string>{"Macro-Grüße-日本.txt"}));
  EXPECT_EQ(removeAbandonedTemporaries(folder), 0u);
  ASSERT_TRUE(deleteFile(file).ok());
  EXPECT_FALSE(fileExists(file));
  EXPECT_EQ(listFolder(folder, "*"), std::optional(std::vector<std::string>{}));
}

TEST(Utf8Paths, TextAndPathConvertBothWays) {
  for (const std::string name : {"plain.txt", "Müller Жук 日本", "emoji 😀 outside the BMP"}) {
    const std::filesystem::path path = pathFromUtf8(name);
    // The standard's own UTF-8 view of the path agrees (compared as bytes: Debian's libgtest
    // is built without char8_t printers).
    const std::u8string standard = path.u8string();
    EXPECT_EQ(std::string(standard.begin(), standard.end()), name);
    EXPECT_EQ(utf8FromPath(path), name);
  }
}

}  // namespace
}  // namespace qb
