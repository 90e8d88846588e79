#include "fuzz_support.h"

#include <unistd.h>

#include <filesystem>

namespace qb::fuzz {
namespace {

std::string makeScratchFolder() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path shm = "/dev/shm";
  const fs::path base = fs::is_directory(shm, ec) ? shm : fs::temp_directory_path();
  const fs::path folder = base / ("qb-fuzz-" + std::to_string(::getpid()));
  fs::remove_all(folder, ec);
  fs::create_directories(folder, ec);
  require(!ec, "the scratch folder cannot be made", folder.string());
  return folder.string();
}

void removeScratchFolder() {
  std::error_code ec;
  std::filesystem::remove_all(scratchFolder(), ec);
}

}  // namespace

const std::string& scratchFolder() {
  static const std::string folder = [] {
    std::string made = makeScratchFolder();
    return made;
  }();
  static const bool cleanupRegistered = std::atexit(removeScratchFolder) == 0;
  (void)cleanupRegistered;
  return folder;
}

void enterScratchFolder() {
  std::error_code ec;
  std::filesystem::current_path(scratchFolder(), ec);
  require(!ec, "cannot enter the scratch folder", scratchFolder());
}

std::string printable(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f && c != '\\') {
      out += c;
    } else {
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    }
  }
  return out;
}

}  // namespace qb::fuzz
