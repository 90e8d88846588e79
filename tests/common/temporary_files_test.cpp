// What interrupted writes leave: a temporary file is removed once its writer has ended, and
// never while its writer runs, whatever its name says; files that are not ours stay.

#include "common/temporary_files.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "common/file_io.h"
#include "common/os_files.h"
#include "common/utf8_path.h"
#include "support/child_process.h"
#include "support/sim_program.h"

namespace qb {
namespace {

namespace fs = std::filesystem;

std::string ownedName(std::uint64_t process) {
  char name[64];
  std::snprintf(name, sizeof name, ".qb-%llu-0123456789abcdef.tmp",
                static_cast<unsigned long long>(process));
  return name;
}

void plainFile(const fs::path& path, const std::string& content = "half a macro") {
  std::ofstream(path, std::ios::binary) << content;
}

// A temporary file made and held the way a write makes it, by the calling process.
std::shared_ptr<void> heldFile(const fs::path& path) {
  std::string error;
  bool nameTaken = false;
  auto file =
      std::make_shared<os::HeldFile>(os::HeldFile::create(utf8FromPath(path), error, nameTaken));
  file->write("half a macro", error);
  return file;
}

std::vector<std::string> names(const fs::path& folder) {
  std::vector<std::string> found;
  for (const auto& e : fs::directory_iterator(folder))
    found.push_back(utf8FromPath(e.path().filename()));
  return found;
}

class Leftovers : public ::testing::Test {
 protected:
  fs::path at(const std::string& name) const { return fs::path(folder.path()) / name; }
  test::TempFolder folder;
};

// The hold alone keeps a file whose name says its writer has ended (as a writer in another
// process id space looks from here). Holds belong to the open file, not to the process, on both
// systems (flock() and Windows' share modes), so this process's own hold shows it.
TEST_F(Leftovers, AHeldFileStaysUntilItsHolderClosesIt) {
  const fs::path name = at(ownedName(test::endedProcessId()));
  {
    const auto held = heldFile(name);
    EXPECT_EQ(removeAbandonedTemporaries(folder.path()), 0u);
    EXPECT_TRUE(fs::exists(name));
  }
  EXPECT_EQ(removeAbandonedTemporaries(folder.path()), 1u);
  EXPECT_TRUE(names(folder.path()).empty());
}

// Writers in other processes. Windows has no fork(): there the test above and the process
// checks of the table below stand for them.
#ifndef _WIN32
TEST_F(Leftovers, AWritersTemporaryStaysWhileItRunsAndGoesOnceItIsKilled) {
  test::WaitingChild writer([&] { return heldFile(at(newTemporaryName())); });
  ASSERT_TRUE(writer.ready());
  const auto made = names(folder.path());
  ASSERT_EQ(made.size(), 1u);
  EXPECT_EQ(made[0].rfind(".qb-" + std::to_string(writer.id()) + "-", 0), 0u) << made[0];

  EXPECT_EQ(removeAbandonedTemporaries(folder.path()), 0u);
  EXPECT_EQ(names(folder.path()), made);
  writer.end();
  EXPECT_EQ(removeAbandonedTemporaries(folder.path()), 1u);
  EXPECT_TRUE(names(folder.path()).empty());
}

// What the process id alone would get wrong: a writer in another process id space (a sandbox,
// a container, another machine on a shared folder) whose id looks ended from here, and the
// moments a running writer's file is not held (made but not yet locked, closed but not yet
// renamed; or a file system without locks).
TEST_F(Leftovers, EitherARunningProcessOfThatIdOrAHoldKeepsIt) {
  const std::uint64_t ended = test::endedProcessId();
  test::WaitingChild holder([&] { return heldFile(at(ownedName(ended))); });
  test::WaitingChild idOwner([] { return nullptr; });
  ASSERT_TRUE(holder.ready() && idOwner.ready());
  plainFile(at(ownedName(idOwner.id())));

  EXPECT_EQ(removeAbandonedTemporaries(folder.path()), 0u);
  EXPECT_EQ(names(folder.path()).size(), 2u);
  holder.end();
  idOwner.end();
  EXPECT_EQ(removeAbandonedTemporaries(folder.path()), 2u);
  EXPECT_TRUE(names(folder.path()).empty());
}

// kill(id, 0) answers "not permitted" for another user's process: it runs. Shown from an
// unprivileged process against a process of root's, whichever of the two this test runs as.
TEST_F(Leftovers, AnotherUsersRunningProcessCountsAsRunning) {
  const bool root = ::geteuid() == 0;
  const std::uint64_t rootProcess = root ? static_cast<std::uint64_t>(::getpid()) : 1;
  plainFile(at(ownedName(rootProcess)));
  plainFile(at(ownedName(test::endedProcessId())));
  fs::permissions(folder.path(), fs::perms::all);
  const pid_t cleaner = ::fork();
  if (cleaner == 0) {
    if (root && ::setuid(65534) != 0) ::_exit(100);
    ::_exit(static_cast<int>(removeAbandonedTemporaries(folder.path())));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(cleaner, &status, 0), cleaner);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1) << "only the ended writer's file goes";
  EXPECT_EQ(names(folder.path()), std::vector<std::string>{ownedName(rootProcess)});
}
#endif

TEST_F(Leftovers, EachKindOfNameIsJudgedByItsOwnRule) {
  using Setup = std::function<std::shared_ptr<void>(const fs::path& file)>;
  const auto plain = [](const fs::path& file) -> std::shared_ptr<void> {
    plainFile(file);
    return nullptr;
  };
  const auto aged = [](std::chrono::minutes age) {
    return [age](const fs::path& file) -> std::shared_ptr<void> {
      plainFile(file);
      fs::last_write_time(file, fs::file_time_type::clock::now() - age);
      return nullptr;
    };
  };
  const auto empty = [](const fs::path& file) -> std::shared_ptr<void> {
    plainFile(file, "");
    return nullptr;
  };
  const std::string ended = ownedName(test::endedProcessId());
  const std::string own = ownedName(os::ownProcessId());
  struct Case {
    const char* what;
    std::string name;
    Setup setup;
    bool removed;
  };
  std::vector<Case> cases{
      {"its writer ended", ended, plain, true},
      {"this process's id, no write of ours uses it: an earlier process's", own, plain, true},
      {"this process's id, a write of ours in another thread uses it", own,
       [](const fs::path& file) -> std::shared_ptr<void> {
         plainFile(file);
         return std::make_shared<TemporaryInUse>(file.filename().string());
       },
       false},
      {"earlier version's, written a minute ago", ".qb-0123456789abcdef.tmp",
       aged(std::chrono::minutes(1)), false},
      {"earlier version's, written 59 minutes ago", ".qb-0123456789abcdef.tmp",
       aged(std::chrono::minutes(59)), false},
      {"earlier version's, written 61 minutes ago", ".qb-0123456789abcdef.tmp",
       aged(std::chrono::minutes(61)), true},
      {"earlier version's probe, empty, made just now", ".qb-write-test-1234567890123", empty,
       true},
      {"a probe's name on a file with content", ".qb-write-test-12", plain, false},
      {"upper-case digits", ".qb-0123456789ABCDEF.tmp", aged(std::chrono::hours(48)), false},
      {"process id 0", ownedName(0), plain, false},
      {"an id of 11 digits", ".qb-12345678901-0123456789abcdef.tmp", plain, false},
      {"short random part", ".qb-1-0123.tmp", plain, false},
      {"no process id", ".qb--0123456789abcdef.tmp", plain, false},
      {"something in front", "x" + ended, plain, false},
      {"a probe name with letters", ".qb-write-test-12a", aged(std::chrono::hours(48)), false},
      {"a macro", "Macro-x.txt", plain, false},
      {"a folder", ended,
       [](const fs::path& file) -> std::shared_ptr<void> {
         fs::create_directory(file);
         return nullptr;
       },
       false},
  };
#ifndef _WIN32
  // MinGW's std::filesystem makes no symbolic links, and Windows has no named pipes in the file
  // system.
  cases.push_back({"a link", ended,
                   [](const fs::path& file) -> std::shared_ptr<void> {
                     plainFile(file.parent_path() / "linked");
                     fs::create_symlink("linked", file);
                     return nullptr;
                   },
                   false});
  cases.push_back({"a pipe", ended,
                   [](const fs::path& file) -> std::shared_ptr<void> {
                     ::mkfifo(file.c_str(), 0600);
                     return nullptr;
                   },
                   false});
#endif
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const fs::path sub = at(std::to_string(i));
    fs::create_directory(sub);
    const auto kept = c.setup(sub / c.name);
    ASSERT_TRUE(fs::exists(fs::symlink_status(sub / c.name))) << c.what;
    EXPECT_EQ(removeAbandonedTemporaries(utf8FromPath(sub)), c.removed ? 1u : 0u) << c.what;
    EXPECT_EQ(fs::exists(fs::symlink_status(sub / c.name)), !c.removed) << c.what;
    if (fs::exists(sub / "linked")) {
      EXPECT_TRUE(fs::is_regular_file(sub / "linked")) << c.what;
    }
  }
}

TEST_F(Leftovers, AWriteInTheFolderRemovesThem) {
  const std::string ended = ownedName(test::endedProcessId());
  plainFile(at(ended), std::string(1 << 20, 'x'));
  ASSERT_TRUE(writeFileAtomic(utf8FromPath(at("Macro-a.txt")), "w:a\r\n").ok());
  EXPECT_EQ(names(folder.path()), std::vector<std::string>{"Macro-a.txt"});
}

// A cleanup in one thread while another writes: the writer's temporary file is between its
// close and its rename for a moment without a hold, under this process's own id.
TEST_F(Leftovers, CleanupsNeverBreakThisProcesssOwnWrites) {
  std::atomic<bool> writing{true};
  std::thread cleaner([&] {
    while (writing) removeAbandonedTemporaries(folder.path());
  });
  int failed = 0;
  for (int i = 0; i < 200; ++i)
    if (!writeFileAtomic(utf8FromPath(at("Macro-a.txt")), "w:" + std::to_string(i) + "\r\n").ok())
      ++failed;
  writing = false;
  cleaner.join();
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(names(folder.path()), std::vector<std::string>{"Macro-a.txt"});
}

}  // namespace
}  // namespace qb
