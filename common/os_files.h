#pragma once
// The operating system's part of file access, behind a portable face: what a path names,
// reading a file at any offset, listing, removing and making folders, a file being written
// that other processes can see is still owned, flushing data and folders to the disk, and
// whether a process still runs. os_files_posix.cpp implements it for Linux and the other POSIX
// systems, os_files_win32.cpp for Windows with the wide-character calls. Paths are UTF-8.
// Failures are the system's reason as text, worded as the C library words them where it has a
// word for them ("No such file or directory").

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qb::os {

enum class FileKind { missing, regular, folder, other /* a device, a pipe, a socket */ };

// What a path names, through links.
struct FileStatus {
  FileKind kind = FileKind::missing;
  std::string error;  // why it is missing, when it could not be looked at
  std::uint64_t size = 0;
  std::chrono::system_clock::time_point modified;
  bool ownerMayWrite = true;  // Windows: not read-only
  std::uint32_t rights = 0;   // POSIX: the mode's permission bits; Windows: 0
};
FileStatus fileStatus(const std::string& path);

// The file a symbolic link leads to, when `path` is one whose target exists; else nothing.
// Windows: nothing (the programs make no links there).
std::optional<std::string> linkTarget(const std::string& path);

// Gives `path` the permission bits `rights` (POSIX; nothing on Windows, which keeps only
// whether a file is read-only).
void setRights(const std::string& path, std::uint32_t rights);
// Lets everybody who may read `path` run it (POSIX; nothing on Windows).
void addRunRights(const std::string& path);

// A file opened for reading, shared with writers as the C library's fopen shares it.
class ReadFile {
 public:
  ReadFile() = default;
  ~ReadFile();
  ReadFile(ReadFile&& other) noexcept;
  ReadFile& operator=(ReadFile&& other) noexcept;
  ReadFile(const ReadFile&) = delete;
  ReadFile& operator=(const ReadFile&) = delete;

  // The open file, or one that is not open with `error` set to the reason.
  static ReadFile open(const std::string& path, std::string& error);
  bool isOpen() const { return handle_ != kNone; }
  std::optional<std::uint64_t> size() const;
  // Reads up to `bytes` from `offset` into `into`: how many it read (fewer only at the end of
  // the file), or nothing when the read failed.
  std::optional<std::size_t> readAt(std::uint64_t offset, char* into, std::size_t bytes) const;

 private:
  static constexpr std::intptr_t kNone = -1;
  explicit ReadFile(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_ = kNone;
};

struct FolderEntry {
  std::string name;
  FileKind kind = FileKind::other;  // through a link
  bool link = false;
};
// The entries of `folder` ("" is the current folder) without "." and "..", in the order the
// system gives them; nothing when it cannot be listed.
std::optional<std::vector<FolderEntry>> listFolder(const std::string& folder);

// Removes the file, or the empty folder, `path`. False with `error` empty when there was
// nothing of that name, with the reason when it could not be removed.
bool removeEntry(const std::string& path, std::string& error);

// Makes the folder `path` (its parent must exist); false when it could not (also when it
// already exists).
bool makeFolder(const std::string& path);

// The current folder, or "" when the system cannot say.
std::string currentFolder();

// Whether `c` separates the names of a path: '/' everywhere, '\\' also on Windows.
bool isSeparator(char c);
// The separator this system writes between names.
char preferredSeparator();

// A file made for writing under a name that must be new, held by this process for as long as
// it is open: removeUnlessHeld leaves it alone until it is closed or its process ends, however
// that happens.
class HeldFile {
 public:
  HeldFile() = default;
  ~HeldFile();
  HeldFile(HeldFile&& other) noexcept;
  HeldFile& operator=(HeldFile&& other) noexcept;
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  // The new file, or one that is not open with `error` set to the reason; `nameTaken` when a
  // file of that name already exists.
  static HeldFile create(const std::string& path, std::string& error, bool& nameTaken);

  bool isOpen() const { return handle_ != kNone; }
  bool write(std::string_view data, std::string& error);
  // The data and the size on the disk itself, not only in the system's cache.
  bool flushToDisk(std::string& error);
  bool close(std::string& error);

 private:
  static constexpr std::intptr_t kNone = -1;
  explicit HeldFile(std::intptr_t handle) : handle_(handle) {}
  std::intptr_t handle_ = kNone;
};

// Gives the file `from` the name `to` in one step, replacing a file of that name: a reader sees
// the old file or the new one, never neither.
bool replaceFile(const std::string& from, const std::string& to, std::string& error);

// Makes the folder's list of names (a file renamed into it) last on the disk.
bool flushFolderToDisk(const std::string& folder, std::string& error);

std::uint64_t ownProcessId();

// True only when no process with this id exists: a process of another user, or one that
// cannot be asked about, counts as running.
bool processGone(std::uint64_t id);

// Removes the regular file `path` unless a HeldFile holds it, whichever process and whichever
// process id space the holder is in. True when it was removed.
bool removeUnlessHeld(const std::string& path);

}  // namespace qb::os
