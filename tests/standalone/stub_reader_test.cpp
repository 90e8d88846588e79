// Finding the macro after the stub image.

#include "standalone/stub_reader.h"

#include <gtest/gtest.h>

#include "common/file_io.h"
#include "script/stand_alone_markers.h"

namespace qb {
namespace {

using namespace std::string_literals;

const std::string kRecorded = narrowMarker(kRecordedMarkerWide);
const std::string kAdvanced = narrowMarker(kAdvancedMarkerWide);

TEST(StubReader, TakesEverythingAfterTheFirstMarker) {
  struct Case {
    const char* name;
    std::string image;
    std::optional<AppendedMacro> expected;
  };
  // A stub image holds pieces of the marker, never the whole of it.
  const std::string stub =
      "\x7f"
      "ELF\0\0stub image ::::-Quillbarrow- :::: bytes"s;
  const Case cases[] = {
      {"recorded", stub + kRecorded + "m:1,2-0\r\n\r\n", AppendedMacro{"m:1,2-0\r\n\r\n", false}},
      {"advanced", stub + kAdvanced + "loop:3\r\nw:a\r\n\r\n",
       AppendedMacro{"loop:3\r\nw:a\r\n\r\n", true}},
      {"empty macro", stub + kRecorded + "\r\n", AppendedMacro{"", false}},
      {"one empty line", stub + kRecorded + "\r\n\r\n", AppendedMacro{"\r\n\r\n", false}},
      {"last line closed", stub + kRecorded + "w:a\r\n", AppendedMacro{"w:a\r\n", false}},
      {"marker at the end", stub + kAdvanced, AppendedMacro{"", true}},
      // The recorded marker is looked for first, wherever the advanced one is.
      {"recorded wins", stub + kAdvanced + "w:a\r\n" + kRecorded + "w:b\r\n",
       AppendedMacro{"w:b\r\n", false}},
      {"first of two", stub + kRecorded + "w:a " + kRecorded + "\r\n",
       AppendedMacro{"w:a " + kRecorded + "\r\n", false}},
      {"bare stub", stub, std::nullopt},
      {"cut marker", stub + kAdvanced.substr(0, kAdvanced.size() - 1), std::nullopt},
      {"nothing", "", std::nullopt},
  };
  const auto check = [](const std::optional<AppendedMacro>& found, const Case& c,
                        const std::string& how) {
    ASSERT_EQ(found.has_value(), c.expected.has_value()) << c.name << how;
    if (!found) return;
    EXPECT_EQ(found->text, c.expected->text) << c.name << how;
    EXPECT_EQ(found->advanced, c.expected->advanced) << c.name << how;
  };
  for (const Case& c : cases) check(findAppendedMacro(c.image), c, "");

  // The program file is scanned a megabyte at a time: the same answers with the marker before,
  // across and after the edge of a slice.
  const std::string file = ::testing::TempDir() + "/qb-stub-reader-Macro-a.exe";
  constexpr std::size_t kSlice = 1 << 20;
  for (const std::size_t before : {std::size_t{0}, kSlice - 30, kSlice - 1, kSlice}) {
    for (const Case& c : cases) {
      const std::size_t pad = before > stub.size() ? before - stub.size() : 0;
      ASSERT_TRUE(writeFileAtomic(file, std::string(pad, 'x') + c.image));
      const auto read = readAppendedMacro(file);
      check(read ? std::optional(*read) : std::nullopt, c,
            " after " + std::to_string(before) + " bytes");
      if (!read) {
        EXPECT_FALSE(c.expected.has_value()) << c.name << ": " << read.message();
      }
    }
  }
  EXPECT_TRUE(deleteFile(file));
}

TEST(StubReader, AProgramFileThatCannotBeReadIsNamed) {
  const auto read = readAppendedMacro("/no/such/folder/Macro-a.exe");
  ASSERT_FALSE(read);
  EXPECT_NE(read.message().find("/no/such/folder/Macro-a.exe"), std::string::npos)
      << read.message();
}

}  // namespace
}  // namespace qb
