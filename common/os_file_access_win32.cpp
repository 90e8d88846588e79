// What a path names, reads, folder listings, removal and folders, with the Win32 wide-character
// calls. Where the C library's file calls would fail, the failure reads as theirs does
// (libraryReason), so messages are worded alike on every system.

#include <windows.h>

#include <algorithm>
#include <string>

#include "common/os_error_win32.h"
#include "common/os_files.h"
#include "common/utf16_win32.h"

namespace qb::os {
namespace {

using win32error::libraryReason;

HANDLE handleOf(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

bool notFound(DWORD code) {
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
         code == ERROR_INVALID_DRIVE || code == ERROR_BAD_NETPATH || code == ERROR_BAD_NET_NAME ||
         code == ERROR_BAD_PATHNAME || code == ERROR_INVALID_NAME;
}

std::chrono::system_clock::time_point timeOf(const FILETIME& time) {
  // 100-nanosecond ticks since 1601-01-01; the system clock counts from 1970-01-01.
  constexpr std::int64_t kTicksTo1970 = 116444736000000000;
  const std::int64_t ticks =
      static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                time.dwLowDateTime) -
      kTicksTo1970;
  using Ticks = std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>;
  return std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(Ticks(ticks)));
}

void fill(FileStatus& status, DWORD attributes, DWORD sizeHigh, DWORD sizeLow,
          const FILETIME& written) {
  status.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FileKind::folder : FileKind::regular;
  status.size = (static_cast<std::uint64_t>(sizeHigh) << 32) | sizeLow;
  status.modified = timeOf(written);
  status.ownerMayWrite = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

// Through the file itself: a link's target, or a device, which has no attributes of its own.
bool statusThroughHandle(const std::wstring& wide, FileStatus& status) {
  const HANDLE file =
      ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const DWORD type = ::GetFileType(file);
  const bool known = type == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &info);
  ::CloseHandle(file);
  if (type != FILE_TYPE_DISK) {
    status = FileStatus{};
    status.kind = FileKind::other;
    return true;
  }
  if (!known) return false;
  fill(status, info.dwFileAttributes, info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime);
  return true;
}

}  // namespace

FileStatus fileStatus(const std::string& path) {
  FileStatus status;
  const std::wstring wide = win32::utf16FromUtf8(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) {
    const DWORD code = ::GetLastError();
    if (!notFound(code) && statusThroughHandle(wide, status)) return status;
    status.error = libraryReason(code);
    return status;
  }
  if ((data.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) &&
      statusThroughHandle(wide, status))
    return status;
  fill(status, data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
  return status;
}

std::optional<std::string> linkTarget(const std::string&) {
  return std::nullopt;
}

void setRights(const std::string&, std::uint32_t) {}

void addRunRights(const std::string&) {}

ReadFile::~ReadFile() {
  if (isOpen()) ::CloseHandle(handleOf(handle_));
}

ReadFile::ReadFile(ReadFile&& other) noexcept : handle_(other.handle_) {
  other.handle_ = kNone;
}

ReadFile& ReadFile::operator=(ReadFile&& other) noexcept {
  if (this != &other) {
    if (isOpen()) ::CloseHandle(handleOf(handle_));
    handle_ = other.handle_;
    other.handle_ = kNone;
  }
  return *this;
}

ReadFile ReadFile::open(const std::string& path, std::string& error) {
  const HANDLE file = ::CreateFileW(win32::utf16FromUtf8(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = libraryReason();
    return {};
  }
  return ReadFile(reinterpret_cast<std::intptr_t>(file));
}

std::optional<std::uint64_t> ReadFile::size() const {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(handleOf(handle_), &size) || size.QuadPart < 0) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::optional<std::size_t> ReadFile::readAt(std::uint64_t offset, char* into,
                                            std::size_t bytes) const {
  std::size_t got = 0;
  while (got < bytes) {
    const std::uint64_t at = offset + got;
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes - got, 1u << 30));
    DWORD read = 0;
    if (!::ReadFile(handleOf(handle_), into + got, chunk, &read, &where)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      return std::nullopt;
    }
    if (read == 0) break;
    got += read;
  }
  return got;
}

std::optional<std::vector<FolderEntry>> listFolder(const std::string& folder) {
  std::string pattern = folder.empty() ? std::string(".") : folder;
  if (!isSeparator(pattern.back())) pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(win32::utf16FromUtf8(pattern).c_str(), &found);
  std::vector<FolderEntry> entries;
  if (search == INVALID_HANDLE_VALUE) {
    // A drive's root has no "." and "..": empty, it matches nothing.
    if (::GetLastError() == ERROR_FILE_NOT_FOUND &&
        fileStatus(folder.empty() ? "." : folder).kind == FileKind::folder)
      return entries;
    return std::nullopt;
  }
  bool failed = false;
  for (;;) {
    const std::wstring_view wide = found.cFileName;
    if (wide != L"." && wide != L"..") {
      FolderEntry entry{win32::utf8FromUtf16(wide)};
      const DWORD attributes = found.dwFileAttributes;
      entry.link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                   found.dwReserved0 == IO_REPARSE_TAG_SYMLINK;
      if (entry.link)
        entry.kind = fileStatus(pattern.substr(0, pattern.size() - 1) + entry.name).kind;
      else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        entry.kind = FileKind::folder;
      else if (attributes & FILE_ATTRIBUTE_DEVICE)
        entry.kind = FileKind::other;
      else
        entry.kind = FileKind::regular;
      entries.push_back(std::move(entry));
    }
    if (!::FindNextFileW(search, &found)) {
      failed = ::GetLastError() != ERROR_NO_MORE_FILES;
      break;
    }
  }
  ::FindClose(search);
  if (failed) return std::nullopt;
  return entries;
}

bool removeEntry(const std::string& path, std::string& error) {
  error.clear();
  const std::wstring wide = win32::utf16FromUtf8(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = ::GetLastError();
    if (!notFound(code)) error = libraryReason(code);
    return false;
  }
  const bool removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? ::RemoveDirectoryW(wide.c_str())
                                                               : ::DeleteFileW(wide.c_str());
  if (removed) return true;
  error = win32error::systemReason();
  return false;
}

bool makeFolder(const std::string& path) {
  return ::CreateDirectoryW(win32::utf16FromUtf8(path).c_str(), nullptr) != 0;
}

std::string currentFolder() {
  const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return {};
  std::wstring folder(length, L'\0');
  const DWORD written = ::GetCurrentDirectoryW(length, folder.data());
  if (written == 0 || written >= length) return {};
  folder.resize(written);
  return win32::utf8FromUtf16(folder);
}

bool isSeparator(char c) {
  return c == '/' || c == '\\';
}

char preferredSeparator() {
  return '\\';
}

}  // namespace qb::os
