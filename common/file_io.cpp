#include "common/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <system_error>

#include "common/os_files.h"
#include "common/temporary_files.h"
#include "common/utf8_path.h"

namespace qb {
namespace fs = std::filesystem;

static std::string describe(const std::string& path, const std::string& reason) {
  return path + ": " + reason;
}

Result<> isRegularFile(const std::string& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(pathFromUtf8(path), ec);
  if (fs::is_directory(status)) {
    return fail(describe(path, "is a folder, not a file"));
  }
  // A device or a pipe has no end to read to (/dev/zero would read as nothing, or for ever).
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    return fail(describe(path, "is not a regular file"));
  }
  if (!fs::exists(status)) {
    return fail(describe(path, ec ? ec.message() : std::strerror(ENOENT)));
  }
  return {};
}

Result<std::string> readWholeFile(const std::string& path) {
  if (auto regular = isRegularFile(path); !regular) return regular.error();
  std::ifstream in(pathFromUtf8(path), std::ios::binary);
  if (!in) return fail(describe(path, std::strerror(errno)));
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  if (size < 0) return fail(describe(path, "cannot be read"));
  std::string content(static_cast<std::size_t>(size), '\0');
  in.seekg(0, std::ios::beg);
  in.read(content.data(), size);
  if (in.gcount() != size) return fail(describe(path, "cannot be read"));
  return content;
}

namespace {

std::optional<std::string> fileFlushFault, folderFlushFault;

// The fault a test asked for at this step, once.
std::optional<std::string> takeFault(std::optional<std::string>& fault) {
  std::optional<std::string> taken;
  taken.swap(fault);
  return taken;
}

}  // namespace

void failNextFlushForTesting(FlushStep step, std::string reason) {
  (step == FlushStep::file ? fileFlushFault : folderFlushFault) = std::move(reason);
}

Result<> writeFileAtomic(const std::string& path, std::string_view content, FileMode mode) {
  std::error_code ec;
  // Through a link, the file it points at is the one to replace, not the link itself.
  fs::path target = pathFromUtf8(path);
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  ec.clear();
  // A file that is there keeps its access rights; one its owner made read-only is not replaced.
  const fs::file_status existing = fs::status(target, ec);
  const bool replacing = !ec && fs::is_regular_file(existing);
  if (replacing && (existing.permissions() & fs::perms::owner_write) == fs::perms::none)
    return qb::fail(describe(path, "the file is read-only"));

  const std::string folder =
      target.has_parent_path() ? utf8FromPath(target.parent_path()) : std::string(".");
  removeAbandonedTemporaries(folder);

  // The temporary file has a short name of its own, so any name the folder can hold can be
  // written, and it is created exclusively, so two writers never share one. Its name carries
  // this process's id, and it is held while it is written: a cleanup in another process can
  // tell it from one whose writer was killed.
  fs::path temp;
  os::HeldFile out;
  std::optional<TemporaryInUse> inUse;
  std::string failure;
  for (int attempt = 0; attempt < 16 && !out.isOpen(); ++attempt) {
    const std::string name = newTemporaryName();
    temp = target.parent_path() / name;
    inUse.emplace(name);  // before the file exists, for a cleanup in another thread
    bool nameTaken = false;
    out = os::HeldFile::create(utf8FromPath(temp), failure, nameTaken);
    if (!out.isOpen() && !nameTaken) break;
  }
  if (!out.isOpen()) return qb::fail(describe(path, failure));
  const auto abandon = [&](const std::string& reason) -> Result<> {
    std::string ignoredReason;
    if (out.isOpen()) out.close(ignoredReason);
    std::error_code ignored;
    fs::remove(temp, ignored);
    return qb::fail(describe(path, reason));
  };

  if (!out.write(content, failure)) return abandon(failure);
  std::error_code ignored;
  if (replacing) fs::permissions(temp, existing.permissions(), fs::perm_options::replace, ignored);
  if (mode == FileMode::executable)
    fs::permissions(temp, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, ignored);
  // On the disk before it takes the target's name: renamed first, a power cut could leave the
  // name on an empty or partial file.
  if (auto fault = takeFault(fileFlushFault))
    failure = *fault;
  else if (out.flushToDisk(failure))
    failure.clear();
  if (!failure.empty()) return abandon("the file could not be flushed to the disk: " + failure);
  if (!out.close(failure)) return abandon(failure);
  if (!os::replaceFile(utf8FromPath(temp), utf8FromPath(target), failure)) return abandon(failure);
  // The rename itself lasts once the folder is on the disk.
  if (auto fault = takeFault(folderFlushFault))
    failure = *fault;
  else if (os::flushFolderToDisk(folder, failure))
    failure.clear();
  if (!failure.empty())
    return qb::fail(describe(path, "the folder could not be flushed to the disk: " + failure));
  return {};
}

Result<> deleteFile(const std::string& path) {
  std::error_code ec;
  if (!fs::remove(pathFromUtf8(path), ec)) {
    return qb::fail(describe(path, ec ? ec.message() : "no such file"));
  }
  return {};
}

bool fileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(pathFromUtf8(path), ec);
}

bool canWriteIn(const std::string& folder) {
  std::error_code ec;
  if (!fs::is_directory(pathFromUtf8(folder), ec)) return false;
  // Named and held as a write's temporary file, so one left by a kill is cleaned up as one.
  const std::string name = newTemporaryName();
  const TemporaryInUse inUse(name);
  const fs::path probe = pathFromUtf8(folder) / name;
  std::string error;
  bool nameTaken = false;
  os::HeldFile file = os::HeldFile::create(utf8FromPath(probe), error, nameTaken);
  if (!file.isOpen()) return false;
  file.close(error);
  fs::remove(probe, ec);
  return true;
}

bool makeFolders(const std::string& folder) {
  std::error_code ec;
  const fs::path path = pathFromUtf8(folder);
  fs::create_directories(path, ec);
  return fs::is_directory(path, ec);
}

std::string joinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  out += static_cast<char>(fs::path::preferred_separator);
  out += name;
  return out;
}

}  // namespace qb
