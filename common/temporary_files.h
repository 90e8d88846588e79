#pragma once
// The temporary files a write makes beside its target, and removing those whose write can no
// longer finish: its process is gone (killed, crashed, the machine switched off), so nothing
// will ever rename or remove them.

#include <chrono>
#include <cstddef>
#include <string>

namespace qb {

// A new name for a temporary file of this process: ".qb-<process id>-<16 hex digits>.tmp".
std::string newTemporaryName();

// Marks a temporary file of this process as in use by a write for as long as it lives, so a
// cleanup in another thread leaves it alone.
class TemporaryInUse {
 public:
  explicit TemporaryInUse(std::string name);
  ~TemporaryInUse();
  TemporaryInUse(const TemporaryInUse&) = delete;
  TemporaryInUse& operator=(const TemporaryInUse&) = delete;

 private:
  std::string name_;
};

// Earlier versions named their temporary files ".qb-<16 hex digits>.tmp", without the process
// id: such a file is removed once it has not been written to for this long, which no write that
// is still running comes near (every block written renews the time).
inline constexpr std::chrono::hours kUnownedTemporaryAge{1};

// Removes from `folder` what interrupted writes left there:
// - a temporary file whose process is gone and that no process holds open as its writer (a
//   process id from another process id space, a container's say, may look gone from here: the
//   hold tells). One named with this process's own id that no write of this process uses is
//   from an earlier process that had the same id;
// - a temporary file of an earlier version that is old enough (kUnownedTemporaryAge);
// - an empty ".qb-write-test-<n>" probe of an earlier version, whose own removal was cut short.
// A temporary of a process that still runs is kept, even when its id has been given to another
// process since: kept until that one ends too. Returns how many files were removed.
std::size_t removeAbandonedTemporaries(const std::string& folder);

}  // namespace qb
