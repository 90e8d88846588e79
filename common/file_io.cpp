#include "common/file_io.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include "common/folder_path.h"
#include "common/os_files.h"
#include "common/temporary_files.h"

namespace qb {

static std::string describe(const std::string& path, const std::string& reason) {
  return path + ": " + reason;
}

Result<> isRegularFile(const std::string& path) {
  const os::FileStatus status = os::fileStatus(path);
  if (status.kind == os::FileKind::folder) {
    return fail(describe(path, "is a folder, not a file"));
  }
  // A device or a pipe has no end to read to (/dev/zero would read as nothing, or for ever).
  if (status.kind == os::FileKind::other) {
    return fail(describe(path, "is not a regular file"));
  }
  if (status.kind == os::FileKind::missing) {
    return fail(describe(path, !status.error.empty() ? status.error : std::strerror(ENOENT)));
  }
  return {};
}

Result<std::string> readWholeFile(const std::string& path) {
  if (auto regular = isRegularFile(path); !regular) return regular.error();
  std::string failure;
  const os::ReadFile in = os::ReadFile::open(path, failure);
  if (!in.isOpen()) return fail(describe(path, failure));
  const auto size = in.size();
  if (!size) return fail(describe(path, "cannot be read"));
  std::string content(static_cast<std::size_t>(*size), '\0');
  if (in.readAt(0, content.data(), content.size()) != content.size())
    return fail(describe(path, "cannot be read"));
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
  // Through a link, the file it points at is the one to replace, not the link itself.
  const std::string target = os::linkTarget(path).value_or(path);
  // A file that is there keeps its access rights; one its owner made read-only is not replaced.
  const os::FileStatus existing = os::fileStatus(target);
  const bool replacing = existing.kind == os::FileKind::regular;
  if (replacing && !existing.ownerMayWrite)
    return qb::fail(describe(path, "the file is read-only"));

  const std::string parent = parentFolder(target);
  const std::string folder = parent.empty() ? std::string(".") : parent;
  removeAbandonedTemporaries(folder);

  // The temporary file has a short name of its own, so any name the folder can hold can be
  // written, and it is created exclusively, so two writers never share one. Its name carries
  // this process's id, and it is held while it is written: a cleanup in another process can
  // tell it from one whose writer was killed.
  std::string temp;
  os::HeldFile out;
  std::optional<TemporaryInUse> inUse;
  std::string failure;
  for (int attempt = 0; attempt < 16 && !out.isOpen(); ++attempt) {
    const std::string name = newTemporaryName();
    temp = pathIn(parent, name);
    inUse.emplace(name);  // before the file exists, for a cleanup in another thread
    bool nameTaken = false;
    out = os::HeldFile::create(temp, failure, nameTaken);
    if (!out.isOpen() && !nameTaken) break;
  }
  if (!out.isOpen()) return qb::fail(describe(path, failure));
  const auto abandon = [&](const std::string& reason) -> Result<> {
    std::string ignoredReason;
    if (out.isOpen()) out.close(ignoredReason);
    os::removeEntry(temp, ignoredReason);
    return qb::fail(describe(path, reason));
  };

  if (!out.write(content, failure)) return abandon(failure);
  if (replacing) os::setRights(temp, existing.rights);
  if (mode == FileMode::executable) os::addRunRights(temp);
  // On the disk before it takes the target's name: renamed first, a power cut could leave the
  // name on an empty or partial file.
  if (auto fault = takeFault(fileFlushFault))
    failure = *fault;
  else if (out.flushToDisk(failure))
    failure.clear();
  if (!failure.empty()) return abandon("the file could not be flushed to the disk: " + failure);
  if (!out.close(failure)) return abandon(failure);
  if (!os::replaceFile(temp, target, failure)) return abandon(failure);
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
  std::string failure;
  if (!os::removeEntry(path, failure)) {
    return qb::fail(describe(path, !failure.empty() ? failure : "no such file"));
  }
  return {};
}

bool fileExists(const std::string& path) {
  return os::fileStatus(path).kind == os::FileKind::regular;
}

bool canWriteIn(const std::string& folder) {
  if (os::fileStatus(folder).kind != os::FileKind::folder) return false;
  // Named and held as a write's temporary file, so one left by a kill is cleaned up as one.
  const std::string name = newTemporaryName();
  const TemporaryInUse inUse(name);
  const std::string probe = pathIn(folder, name);
  std::string error;
  bool nameTaken = false;
  os::HeldFile file = os::HeldFile::create(probe, error, nameTaken);
  if (!file.isOpen()) return false;
  file.close(error);
  os::removeEntry(probe, error);
  return true;
}

bool makeFolders(const std::string& folder) {
  // Each folder on the way down, from the first that is missing; the ones that are there (or a
  // drive, which cannot be made) refuse, which is no failure: only the last one counts.
  if (os::fileStatus(folder).kind == os::FileKind::folder) return true;
  for (std::size_t at = 1; at < folder.size(); ++at)
    if (os::isSeparator(folder[at]) && !os::isSeparator(folder[at - 1]))
      os::makeFolder(folder.substr(0, at));
  os::makeFolder(folder);
  return os::fileStatus(folder).kind == os::FileKind::folder;
}

std::string joinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  out += os::preferredSeparator();
  out += name;
  return out;
}

}  // namespace qb
