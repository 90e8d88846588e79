#pragma once
// The operating system's part of writing files safely, behind a portable face: a file being
// written that other processes can see is still owned, flushing data and folders to the disk,
// and whether a process still runs. os_files_posix.cpp implements it for Linux and the other
// POSIX systems, os_files_win32.cpp for Windows. Paths are UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

namespace qb::os {

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
