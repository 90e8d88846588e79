#pragma once
// What every fuzz target shares: an invariant check that stops the run with a message (a
// finding, as a crash is), and a private scratch folder for targets that touch files.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace qb::fuzz {

// Aborts with `what` (and `detail`, when given) when `ok` is false. libFuzzer saves the input
// that did it as a crash.
inline void require(bool ok, const char* what, std::string_view detail = {}) {
  if (ok) return;
  std::fprintf(stderr, "\nINVARIANT BROKEN: %s\n", what);
  if (!detail.empty())
    std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
  std::abort();
}

// A folder of this process's own, made on first use (in shared memory when there is one, for
// speed) and removed when the process ends.
const std::string& scratchFolder();

// Makes the scratch folder the working folder, so relative paths a fuzzed input names
// ("filedata=data.txt") stay inside it. The fuzz runs give libFuzzer absolute paths.
void enterScratchFolder();

// The input bytes shown for a message, control characters escaped.
std::string printable(std::string_view bytes);

}  // namespace qb::fuzz
