#include "fuzz_support.h"

#include <unistd.h>

#include <filesystem>
#include <string_view>

namespace qb::fuzz {
namespace {

constexpr std::string_view kPrefix = "qb-fuzz-";

// A run that found something ends with abort(), which leaves its folder behind: folders of
// processes that are gone are removed.
void removeLeftOverFolders(const std::filesystem::path& base) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(base, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(kPrefix, 0) != 0) continue;
    const std::string pid = name.substr(kPrefix.size());
    if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code gone;
    if (!std::filesystem::exists("/proc/" + pid, gone)) std::filesystem::remove_all(entry, gone);
  }
}

std::string makeScratchFolder() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path shm = "/dev/shm";
  const fs::path base = fs::is_directory(shm, ec) ? shm : fs::temp_directory_path();
  removeLeftOverFolders(base);
  const fs::path folder = base / (std::string(kPrefix) + std::to_string(::getpid()));
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
  static const std::string folder = makeScratchFolder();
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
