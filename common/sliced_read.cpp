#include "common/sliced_read.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace qb {
namespace fs = std::filesystem;

bool SlicedRead::open(const std::string& path, std::string* error) {
  const auto fail = [&](const std::string& reason) {
    if (error) *error = path + ": " + reason;
    return false;
  };
  path_ = path;
  content_.clear();
  size_ = 0;
  std::error_code ec;
  if (fs::is_directory(path, ec)) return fail("is a folder, not a file");
  // A device or a pipe has no end to read to.
  if (fs::exists(path, ec) && !fs::is_regular_file(path, ec)) return fail("is not a regular file");
  in_ = std::ifstream(path, std::ios::binary);
  if (!in_) return fail(std::strerror(errno));
  in_.seekg(0, std::ios::end);
  const auto size = in_.tellg();
  if (size < 0) return fail("cannot be read");
  in_.seekg(0, std::ios::beg);
  size_ = static_cast<std::size_t>(size);
  content_.reserve(size_);
  return true;
}

bool SlicedRead::readSlice(std::size_t bytes, std::string* error) {
  const std::size_t had = content_.size();
  const std::size_t want = std::min(bytes, size_ - had);
  if (want == 0) return true;
  content_.resize(had + want);
  in_.read(content_.data() + had, static_cast<std::streamsize>(want));
  if (static_cast<std::size_t>(in_.gcount()) != want) {
    content_.resize(had);
    if (error) *error = path_ + ": cannot be read";
    return false;
  }
  return true;
}

}  // namespace qb
