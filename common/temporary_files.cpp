#include "common/temporary_files.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <string_view>
#include <vector>

#include "common/folder_path.h"
#include "common/os_files.h"

namespace qb {

namespace {

constexpr std::string_view kPrefix = ".qb-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::string_view kProbePrefix = ".qb-write-test-";

std::mutex inUseMutex;
std::set<std::string>& namesInUse() {
  static std::set<std::string> names;
  return names;
}

bool isInUse(const std::string& name) {
  const std::lock_guard lock(inUseMutex);
  return namesInUse().count(name) != 0;
}

bool allOf(std::string_view text, bool (*accept)(char)) {
  for (const char c : text)
    if (!accept(c)) return false;
  return true;
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isLowerHex(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f');
}

enum class Kind { owned, unowned, probe };
struct Leftover {
  Kind kind;
  std::uint64_t process = 0;  // for owned ones
};

// What a name says about the file, or nothing when it is not a name our writes make.
std::optional<Leftover> classify(std::string_view name) {
  if (name.size() > kProbePrefix.size() && name.substr(0, kProbePrefix.size()) == kProbePrefix) {
    const std::string_view number = name.substr(kProbePrefix.size());
    if (number.size() <= 20 && allOf(number, isDigit)) return Leftover{Kind::probe};
    return std::nullopt;
  }
  if (name.size() <= kPrefix.size() + kSuffix.size() || name.substr(0, kPrefix.size()) != kPrefix ||
      name.substr(name.size() - kSuffix.size()) != kSuffix)
    return std::nullopt;
  const std::string_view middle =
      name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
  if (middle.size() == 16 && allOf(middle, isLowerHex)) return Leftover{Kind::unowned};
  const auto dash = middle.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const std::string_view process = middle.substr(0, dash), random = middle.substr(dash + 1);
  if (process.empty() || process.size() > 10 || !allOf(process, isDigit) || random.size() != 16 ||
      !allOf(random, isLowerHex))
    return std::nullopt;
  std::uint64_t id = 0;
  for (const char c : process) id = id * 10 + static_cast<std::uint64_t>(c - '0');
  return Leftover{Kind::owned, id};
}

bool abandoned(const std::string& path, const std::string& name, const Leftover& leftover) {
  switch (leftover.kind) {
    case Kind::owned:
      if (leftover.process == os::ownProcessId()) return !isInUse(name);
      return os::processGone(leftover.process);
    case Kind::unowned: {
      const os::FileStatus status = os::fileStatus(path);
      return status.kind != os::FileKind::missing &&
             std::chrono::system_clock::now() - status.modified >= kUnownedTemporaryAge;
    }
    case Kind::probe: {
      // Probes are made and removed empty: one with content is somebody else's file.
      const os::FileStatus status = os::fileStatus(path);
      return status.kind == os::FileKind::regular && status.size == 0;
    }
  }
  return false;
}

}  // namespace

std::string newTemporaryName() {
  static thread_local std::mt19937_64 random{std::random_device{}()};
  char name[64];
  std::snprintf(name, sizeof name, ".qb-%llu-%016llx.tmp",
                static_cast<unsigned long long>(os::ownProcessId()),
                static_cast<unsigned long long>(random()));
  return name;
}

TemporaryInUse::TemporaryInUse(std::string name) : name_(std::move(name)) {
  const std::lock_guard lock(inUseMutex);
  namesInUse().insert(name_);
}

TemporaryInUse::~TemporaryInUse() {
  const std::lock_guard lock(inUseMutex);
  namesInUse().erase(name_);
}

std::size_t removeAbandonedTemporaries(const std::string& folder) {
  // The names are gathered first: removing while the folder is read may skip or repeat names.
  const auto entries = os::listFolder(folder);
  if (!entries) return 0;
  std::vector<std::string> doomed;
  for (const os::FolderEntry& entry : *entries) {
    const auto leftover = classify(entry.name);
    if (!leftover) continue;
    if (entry.link || entry.kind != os::FileKind::regular) continue;
    const std::string path = pathIn(folder.empty() ? std::string(".") : folder, entry.name);
    if (abandoned(path, entry.name, *leftover)) doomed.push_back(path);
  }
  std::size_t removed = 0;
  for (const auto& path : doomed)
    if (os::removeUnlessHeld(path)) ++removed;
  return removed;
}

}  // namespace qb
