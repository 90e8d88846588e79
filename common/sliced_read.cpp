#include "common/sliced_read.h"

#include <cerrno>
#include <cstring>

#include "common/file_io.h"
#include "common/utf8_path.h"

namespace qb {

Result<> SlicedRead::open(const std::string& path) {
  path_ = path;
  content_.clear();
  size_ = 0;
  if (auto regular = isRegularFile(path); !regular) return regular;
  in_ = std::ifstream(pathFromUtf8(path), std::ios::binary);
  if (!in_) return fail(path + ": " + std::strerror(errno));
  in_.seekg(0, std::ios::end);
  const auto size = in_.tellg();
  if (size < 0) return fail(path + ": cannot be read");
  in_.seekg(0, std::ios::beg);
  size_ = static_cast<std::size_t>(size);
  content_.reserve(size_);
  return {};
}

Result<> SlicedRead::readSlice(std::size_t bytes) {
  const std::size_t had = content_.size();
  const std::size_t want = std::min(bytes, size_ - had);
  if (want == 0) return {};
  content_.resize(had + want);
  in_.read(content_.data() + had, static_cast<std::streamsize>(want));
  if (static_cast<std::size_t>(in_.gcount()) != want) {
    content_.resize(had);
    return fail(path_ + ": cannot be read");
  }
  return {};
}

}  // namespace qb
