#pragma once
// The words for a Win32 error code, for the os_*_win32.cpp files. Includes <windows.h>: never
// include it in the core.

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/utf16_win32.h"

namespace qb::os::win32error {

// The system's own text for the code, without the closing period and line break.
inline std::string systemReason(DWORD code = ::GetLastError()) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message;
  if (length > 0 && text) message = qb::win32::utf8FromUtf16(std::wstring_view(text, length));
  if (text) ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message.empty() ? "system error " + std::to_string(code) : message;
}

// The C library's words for the code ("No such file or directory"), as its file calls report
// it after mapping the code to errno the way the C runtime does: messages read the same on
// Windows as on Linux.
inline std::string libraryReason(DWORD code = ::GetLastError()) {
  int error = EINVAL;
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NO_MORE_FILES:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      error = ENOENT;
      break;
    case ERROR_TOO_MANY_OPEN_FILES:
      error = EMFILE;
      break;
    case ERROR_ACCESS_DENIED:
    case ERROR_CURRENT_DIRECTORY:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_CANNOT_MAKE:
    case ERROR_FAIL_I24:
    case ERROR_DRIVE_LOCKED:
    case ERROR_SEEK_ON_DEVICE:
    case ERROR_NOT_LOCKED:
    case ERROR_LOCK_FAILED:
      error = EACCES;
      break;
    case ERROR_INVALID_HANDLE:
    case ERROR_INVALID_TARGET_HANDLE:
    case ERROR_DIRECT_ACCESS_HANDLE:
      error = EBADF;
      break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_INVALID_BLOCK:
    case ERROR_NOT_ENOUGH_QUOTA:
      error = ENOMEM;
      break;
    case ERROR_NOT_SAME_DEVICE:
      error = EXDEV;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      error = EEXIST;
      break;
    case ERROR_BROKEN_PIPE:
      error = EPIPE;
      break;
    case ERROR_DISK_FULL:
      error = ENOSPC;
      break;
    case ERROR_DIR_NOT_EMPTY:
      error = ENOTEMPTY;
      break;
    default:
      // The write-protect to sharing-buffer-exceeded range (a sharing or lock violation among
      // them) is "access denied" to the C runtime.
      if (code >= ERROR_WRITE_PROTECT && code <= ERROR_SHARING_BUFFER_EXCEEDED) error = EACCES;
      break;
  }
  return std::strerror(error);
}

}  // namespace qb::os::win32error
