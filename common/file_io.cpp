#include "common/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace qb {
namespace fs = std::filesystem;

static std::string describe(const std::string& path, const std::string& reason) {
  return path + ": " + reason;
}

bool isRegularFile(const std::string& path, std::string* error) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::is_directory(status)) {
    if (error) *error = describe(path, "is a folder, not a file");
    return false;
  }
  // A device or a pipe has no end to read to (/dev/zero would read as nothing, or for ever).
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    if (error) *error = describe(path, "is not a regular file");
    return false;
  }
  if (!fs::exists(status)) {
    if (error) *error = describe(path, ec ? ec.message() : std::strerror(ENOENT));
    return false;
  }
  return true;
}

std::optional<std::string> readWholeFile(const std::string& path, std::string* error) {
  if (!isRegularFile(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = describe(path, std::strerror(errno));
    return std::nullopt;
  }
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  if (size < 0) {
    if (error) *error = describe(path, "cannot be read");
    return std::nullopt;
  }
  std::string content(static_cast<std::size_t>(size), '\0');
  in.seekg(0, std::ios::beg);
  in.read(content.data(), size);
  if (in.gcount() != size) {
    if (error) *error = describe(path, "cannot be read");
    return std::nullopt;
  }
  return content;
}

FileResult writeFileAtomic(const std::string& path, std::string_view content) {
  std::error_code ec;
  // Through a link, the file it points at is the one to replace, not the link itself.
  fs::path target(path);
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }
  ec.clear();
  // A file that is there keeps its access rights; one its owner made read-only is not replaced.
  const fs::file_status existing = fs::status(target, ec);
  const bool replacing = !ec && fs::is_regular_file(existing);
  if (replacing && (existing.permissions() & fs::perms::owner_write) == fs::perms::none)
    return {false, describe(path, "the file is read-only")};

  // The temporary file has a short name of its own, so any name the folder can hold can be
  // written, and it is created exclusively, so two writers never share one.
  static thread_local std::mt19937_64 random{std::random_device{}()};
  fs::path temp;
  std::FILE* out = nullptr;
  for (int attempt = 0; attempt < 16 && !out; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, ".qb-%016llx.tmp", static_cast<unsigned long long>(random()));
    temp = target.parent_path() / name;
    out = std::fopen(temp.string().c_str(), "wbx");
    if (!out && errno != EEXIST) break;
  }
  if (!out) return {false, describe(path, std::strerror(errno))};
  std::string failure;
  if (std::fwrite(content.data(), 1, content.size(), out) != content.size())
    failure = std::strerror(errno);
  if (std::fclose(out) != 0 && failure.empty()) failure = std::strerror(errno);
  std::error_code ignored;
  if (!failure.empty()) {
    fs::remove(temp, ignored);
    return {false, describe(path, failure)};
  }
  if (replacing) fs::permissions(temp, existing.permissions(), fs::perm_options::replace, ignored);
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ignored);
    return {false, describe(path, ec.message())};
  }
  return {};
}

FileResult deleteFile(const std::string& path) {
  std::error_code ec;
  if (!fs::remove(path, ec)) {
    if (ec) return {false, describe(path, ec.message())};
    return {false, describe(path, "no such file")};
  }
  return {};
}

bool fileExists(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool canWriteIn(const std::string& folder) {
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) return false;
  static std::mt19937_64 random{std::random_device{}()};
  const fs::path probe = fs::path(folder) / (".qb-write-test-" + std::to_string(random()));
  std::FILE* file = std::fopen(probe.c_str(), "wx");
  if (!file) return false;
  std::fclose(file);
  fs::remove(probe, ec);
  return true;
}

bool makeFolders(const std::string& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  return fs::is_directory(folder, ec);
}

std::string joinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  out += static_cast<char>(fs::path::preferred_separator);
  out += name;
  return out;
}

}  // namespace qb
