#include "common/file_io.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace qb {
namespace fs = std::filesystem;

static std::string describe(const std::string& path, const std::string& reason) {
  return path + ": " + reason;
}

std::optional<std::string> readWholeFile(const std::string& path, std::string* error) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    if (error) *error = describe(path, "is a folder, not a file");
    return std::nullopt;
  }
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
  static std::atomic<unsigned> counter{0};
  const fs::path target(path);
  fs::path temp = target;
  temp += ".qbtmp" + std::to_string(counter++);
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return {false, describe(path, std::strerror(errno))};
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.flush();
    if (!out) {
      const std::string reason = std::strerror(errno);
      out.close();
      std::error_code ignored;
      fs::remove(temp, ignored);
      return {false, describe(path, reason)};
    }
  }
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
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

std::string joinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  out += static_cast<char>(fs::path::preferred_separator);
  out += name;
  return out;
}

}  // namespace qb
