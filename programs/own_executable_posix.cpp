#include <filesystem>

#include "programs/own_executable.h"

namespace qb {

std::string ownExecutablePath(const char* argv0) {
  namespace fs = std::filesystem;
  std::error_code ec;
  // The link names the file even when the program was started through a relative path or a
  // link of its own.
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return self.string();
  const fs::path given = fs::absolute(argv0 ? argv0 : "", ec);
  return ec ? std::string(argv0 ? argv0 : "") : given.string();
}

void useStartingConsole() {}

}  // namespace qb
