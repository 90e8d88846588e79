// Held files are flock()ed: the kernel lets go of the lock when the holder's last descriptor
// closes, and a SIGKILLed process's descriptors close with it, so a lock that can be taken means
// that no writer is left. NFS carries flock() locks to the server as whole-file locks, so a
// writer on another machine counts too.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "common/os_files.h"

namespace qb::os {
namespace {

std::string reason() {
  return std::strerror(errno);
}

int fdOf(std::intptr_t handle) {
  return static_cast<int>(handle);
}

// Flushes `fd` to the disk. macOS's fsync() stops at the drive's cache; F_FULLFSYNC goes on.
int syncDescriptor(int fd) {
#ifdef F_FULLFSYNC
  if (::fcntl(fd, F_FULLFSYNC) == 0) return 0;
#endif
  return ::fsync(fd);
}

}  // namespace

HeldFile::~HeldFile() {
  if (isOpen()) ::close(fdOf(handle_));
}

HeldFile::HeldFile(HeldFile&& other) noexcept : handle_(other.handle_) {
  other.handle_ = kNone;
}

HeldFile& HeldFile::operator=(HeldFile&& other) noexcept {
  if (this != &other) {
    if (isOpen()) ::close(fdOf(handle_));
    handle_ = other.handle_;
    other.handle_ = kNone;
  }
  return *this;
}

HeldFile HeldFile::create(const std::string& path, std::string& error, bool& nameTaken) {
  nameTaken = false;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    nameTaken = errno == EEXIST;
    error = reason();
    return {};
  }
  // A file system without locks leaves the file unlocked: the process id in its name still
  // keeps it while this process runs.
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EINTR) {
  }
  return HeldFile(fd);
}

bool HeldFile::write(std::string_view data, std::string& error) {
  while (!data.empty()) {
    const ssize_t written = ::write(fdOf(handle_), data.data(), data.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      error = reason();
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool HeldFile::flushToDisk(std::string& error) {
  if (syncDescriptor(fdOf(handle_)) == 0) return true;
  error = reason();
  return false;
}

bool HeldFile::close(std::string& error) {
  const int fd = fdOf(handle_);
  handle_ = kNone;
  // Linux closes the descriptor even when close() is interrupted, so it is never retried.
  if (::close(fd) == 0 || errno == EINTR) return true;
  error = reason();
  return false;
}

bool replaceFile(const std::string& from, const std::string& to, std::string& error) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  error = reason();
  return false;
}

bool flushFolderToDisk(const std::string& folder, std::string& error) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    error = reason();
    return false;
  }
  bool flushed = syncDescriptor(fd) == 0;
  // Some file systems have no way to flush a folder (they answer EINVAL or "not supported");
  // there is nothing more that can be done for them, and that is not a failed save.
  if (!flushed && (errno == EINVAL || errno == ENOTSUP || errno == EOPNOTSUPP || errno == ENOSYS))
    flushed = true;
  if (!flushed) error = reason();
  ::close(fd);
  return flushed;
}

std::uint64_t ownProcessId() {
  return static_cast<std::uint64_t>(::getpid());
}

bool processGone(std::uint64_t id) {
  // kill() reads 0 and negative ids as process groups: such an id names no single process.
  if (id == 0 || id > static_cast<std::uint64_t>(INT_MAX)) return false;
  if (::kill(static_cast<pid_t>(id), 0) == 0) return false;
  // EPERM: the process exists and belongs to another user.
  return errno == ESRCH;
}

bool removeUnlessHeld(const std::string& path) {
  // Non-blocking and not through a link, so a pipe or a link planted under such a name can
  // neither stall the start nor lead elsewhere.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
  struct stat opened {};
  if (fd < 0) {
    // A file this user may not read can still be one of its own (its rights copied from the
    // file it was to replace): the caller's process check is all there is to go on.
    if (errno != EACCES) return false;
    if (::lstat(path.c_str(), &opened) != 0 || !S_ISREG(opened.st_mode)) return false;
    return ::unlink(path.c_str()) == 0;
  }
  bool remove = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode);
  if (remove) {
    // A shared lock is refused while a writer holds its exclusive one, and needs only read
    // access (NFS wants write access for an exclusive lock). A file system without locks
    // answers with another error: the caller's process check is all there is to go on then.
    int locked;
    while ((locked = ::flock(fd, LOCK_SH | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (locked != 0 && errno == EWOULDBLOCK) remove = false;
  }
  // Still the same file under that name: it was not replaced between the look and the removal.
  struct stat named {};
  if (remove)
    remove = ::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
             named.st_ino == opened.st_ino;
  const bool removed = remove && ::unlink(path.c_str()) == 0;
  ::close(fd);
  return removed;
}

}  // namespace qb::os
