// What a path names, reads, folder listings, removal and folders, with the POSIX calls. The
// failures are strerror()'s words for errno.

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/os_files.h"

namespace qb::os {
namespace {

int fdOf(std::intptr_t handle) {
  return static_cast<int>(handle);
}

FileKind kindOf(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::regular;
  if (S_ISDIR(mode)) return FileKind::folder;
  return FileKind::other;
}

std::chrono::system_clock::time_point modifiedAt(const struct stat& st) {
  using namespace std::chrono;
  return system_clock::time_point(duration_cast<system_clock::duration>(
      seconds(st.st_mtim.tv_sec) + nanoseconds(st.st_mtim.tv_nsec)));
}

}  // namespace

FileStatus fileStatus(const std::string& path) {
  FileStatus status;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    // A file too large for this build's stat() is there, but cannot be looked at.
    if (errno == EOVERFLOW) {
      status.kind = FileKind::other;
      return status;
    }
    status.error = std::strerror(errno);
    return status;
  }
  status.kind = kindOf(st.st_mode);
  status.size = static_cast<std::uint64_t>(st.st_size);
  status.modified = modifiedAt(st);
  status.ownerMayWrite = (st.st_mode & S_IWUSR) != 0;
  status.rights = static_cast<std::uint32_t>(st.st_mode & 07777);
  return status;
}

std::optional<std::string> linkTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return std::nullopt;
  struct Free {
    void operator()(char* text) const { ::free(text); }
  };
  const std::unique_ptr<char, Free> resolved(::realpath(path.c_str(), nullptr));
  if (!resolved) return std::nullopt;
  return std::string(resolved.get());
}

void setRights(const std::string& path, std::uint32_t rights) {
  (void)::chmod(path.c_str(), static_cast<mode_t>(rights & 07777));
}

void addRunRights(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return;
  (void)::chmod(path.c_str(), (st.st_mode & 07777) | S_IXUSR | S_IXGRP | S_IXOTH);
}

ReadFile::~ReadFile() {
  if (isOpen()) ::close(fdOf(handle_));
}

ReadFile::ReadFile(ReadFile&& other) noexcept : handle_(other.handle_) {
  other.handle_ = kNone;
}

ReadFile& ReadFile::operator=(ReadFile&& other) noexcept {
  if (this != &other) {
    if (isOpen()) ::close(fdOf(handle_));
    handle_ = other.handle_;
    other.handle_ = kNone;
  }
  return *this;
}

ReadFile ReadFile::open(const std::string& path, std::string& error) {
  int fd;
  while ((fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY)) < 0 && errno == EINTR) {
  }
  if (fd < 0) {
    error = std::strerror(errno);
    return {};
  }
  return ReadFile(fd);
}

std::optional<std::uint64_t> ReadFile::size() const {
  struct stat st {};
  if (::fstat(fdOf(handle_), &st) != 0 || st.st_size < 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

std::optional<std::size_t> ReadFile::readAt(std::uint64_t offset, char* into,
                                            std::size_t bytes) const {
  std::size_t got = 0;
  while (got < bytes) {
    const ssize_t n =
        ::pread(fdOf(handle_), into + got, bytes - got, static_cast<off_t>(offset + got));
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return got;
}

std::optional<std::vector<FolderEntry>> listFolder(const std::string& folder) {
  const std::string opened = folder.empty() ? std::string(".") : folder;
  struct CloseFolder {
    void operator()(DIR* dir) const { ::closedir(dir); }
  };
  const std::unique_ptr<DIR, CloseFolder> dir(::opendir(opened.c_str()));
  if (!dir) return std::nullopt;
  std::vector<FolderEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* found = ::readdir(dir.get());
    if (!found) {
      if (errno != 0) return std::nullopt;
      break;
    }
    const std::string_view name = found->d_name;
    if (name == "." || name == "..") continue;
    FolderEntry entry{std::string(name)};
    const std::string path = opened + "/" + entry.name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
      entry.link = S_ISLNK(st.st_mode);
      if (entry.link)
        entry.kind = ::stat(path.c_str(), &st) == 0 ? kindOf(st.st_mode) : FileKind::missing;
      else
        entry.kind = kindOf(st.st_mode);
    } else {
      entry.kind = FileKind::missing;  // gone since the folder was read
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool removeEntry(const std::string& path, std::string& error) {
  error.clear();
  if (std::remove(path.c_str()) == 0) return true;
  if (errno != ENOENT) error = std::strerror(errno);
  return false;
}

bool makeFolder(const std::string& path) {
  return ::mkdir(path.c_str(), 0777) == 0;
}

std::string currentFolder() {
  std::string folder(PATH_MAX, '\0');
  for (;;) {
    if (::getcwd(folder.data(), folder.size())) {
      folder.resize(std::strlen(folder.c_str()));
      return folder;
    }
    if (errno != ERANGE) return {};
    folder.resize(folder.size() * 2);
  }
}

bool isSeparator(char c) {
  return c == '/';
}

char preferredSeparator() {
  return '/';
}

}  // namespace qb::os
