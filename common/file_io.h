#pragma once
// Whole-file reads and atomic whole-file writes. A failure names the file and the reason
// ("<path>: <reason>"), ready for a message box.

#include <string>
#include <string_view>

#include "common/result.h"

namespace qb {

// Succeeds when `path` names a regular file that exists: a folder, a device or a pipe has no
// end to read to.
Result<> isRegularFile(const std::string& path);

Result<std::string> readWholeFile(const std::string& path);

enum class FileMode { plain, executable };

// Writes `content` to a temporary file in the target's folder, flushes it to the disk and
// renames it over the target, then flushes the folder: an interrupted write or a power cut
// leaves either the old file or the new one, and a write that says it succeeded lasts. A file
// that is replaced keeps its access rights (an executable one gains the right to run); a file
// its owner made read-only is not replaced. What interrupted writes left in the folder is
// removed first (removeAbandonedTemporaries), which also frees the space they held.
Result<> writeFileAtomic(const std::string& path, std::string_view content,
                         FileMode mode = FileMode::plain);

// For tests: the next write's flush of its file, or of its folder, fails with `reason` as a
// failing disk's would.
enum class FlushStep { file, folder };
void failNextFlushForTesting(FlushStep step, std::string reason);

Result<> deleteFile(const std::string& path);
bool fileExists(const std::string& path);
// Whether this user can make files in `folder`: tried with a file made and removed at once,
// which answers for access rights, read-only mounts and root alike.
bool canWriteIn(const std::string& folder);
// Makes `folder` and the folders above it that are missing; true when it exists after.
bool makeFolders(const std::string& folder);

// Folder + the platform's separator + name.
std::string joinPath(std::string_view folder, std::string_view name);

}  // namespace qb
