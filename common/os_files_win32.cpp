// Held files are opened without FILE_SHARE_WRITE and FILE_SHARE_DELETE: while the handle is
// open, others may read the file but nobody can delete or rename it, and Windows closes the
// handles of a process that ends, however it ends.

#include <windows.h>

#include <algorithm>
#include <string>

#include "common/os_error_win32.h"
#include "common/os_files.h"
#include "common/utf16_win32.h"

namespace qb::os {
namespace {

std::string reason(DWORD code = ::GetLastError()) {
  return win32error::systemReason(code);
}

HANDLE handleOf(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

HeldFile::~HeldFile() {
  if (isOpen()) ::CloseHandle(handleOf(handle_));
}

HeldFile::HeldFile(HeldFile&& other) noexcept : handle_(other.handle_) {
  other.handle_ = kNone;
}

HeldFile& HeldFile::operator=(HeldFile&& other) noexcept {
  if (this != &other) {
    if (isOpen()) ::CloseHandle(handleOf(handle_));
    handle_ = other.handle_;
    other.handle_ = kNone;
  }
  return *this;
}

HeldFile HeldFile::create(const std::string& path, std::string& error, bool& nameTaken) {
  nameTaken = false;
  const HANDLE file =
      ::CreateFileW(win32::utf16FromUtf8(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = ::GetLastError();
    nameTaken = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
    error = reason(code);
    return {};
  }
  return HeldFile(reinterpret_cast<std::intptr_t>(file));
}

bool HeldFile::write(std::string_view data, std::string& error) {
  while (!data.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(handleOf(handle_), data.data(), chunk, &written, nullptr)) {
      error = reason();
      return false;
    }
    data.remove_prefix(written);
  }
  return true;
}

bool HeldFile::flushToDisk(std::string& error) {
  if (::FlushFileBuffers(handleOf(handle_))) return true;
  error = reason();
  return false;
}

bool HeldFile::close(std::string& error) {
  const HANDLE file = handleOf(handle_);
  handle_ = kNone;
  if (::CloseHandle(file)) return true;
  error = reason();
  return false;
}

bool replaceFile(const std::string& from, const std::string& to, std::string& error) {
  // Write-through: the call returns once the new name is on the disk.
  if (::MoveFileExW(win32::utf16FromUtf8(from).c_str(), win32::utf16FromUtf8(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  error = reason();
  return false;
}

bool flushFolderToDisk(const std::string&, std::string&) {
  // Windows has no flush for a folder's names, and needs none here: replaceFile renames with
  // MOVEFILE_WRITE_THROUGH, which returns only when the rename is on the disk.
  return true;
}

std::uint64_t ownProcessId() {
  return ::GetCurrentProcessId();
}

bool processGone(std::uint64_t id) {
  if (id == 0 || id > 0xFFFFFFFFu) return false;
  const HANDLE process =
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
  // No such process: the id is refused as an invalid parameter. Any other refusal (access
  // denied: a process of another user or a protected one) means it exists.
  if (!process) return ::GetLastError() == ERROR_INVALID_PARAMETER;
  // A process that has ended stays openable while somebody holds a handle to it. Waiting for
  // it rather than reading its exit code: an exit code may equal STILL_ACTIVE.
  const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  ::CloseHandle(process);
  return ended;
}

bool removeUnlessHeld(const std::string& path) {
  const std::wstring wide = win32::utf16FromUtf8(path);
  // A regular file only, and not a link: a link planted under such a name must not lead
  // elsewhere.
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES ||
      (attributes &
       (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)))
    return false;
  // While a HeldFile holds it, the deletion fails with a sharing violation.
  return ::DeleteFileW(wide.c_str()) != 0;
}

}  // namespace qb::os
