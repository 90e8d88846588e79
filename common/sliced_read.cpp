#include "common/sliced_read.h"

#include <algorithm>

#include "common/file_io.h"

namespace qb {

Result<> SlicedRead::open(const std::string& path) {
  path_ = path;
  content_.clear();
  size_ = 0;
  if (auto regular = isRegularFile(path); !regular) return regular;
  std::string failure;
  in_ = os::ReadFile::open(path, failure);
  if (!in_.isOpen()) return fail(path + ": " + failure);
  const auto size = in_.size();
  if (!size) return fail(path + ": cannot be read");
  size_ = static_cast<std::size_t>(*size);
  content_.reserve(size_);
  return {};
}

Result<> SlicedRead::readSlice(std::size_t bytes) {
  const std::size_t had = content_.size();
  const std::size_t want = std::min(bytes, size_ - had);
  if (want == 0) return {};
  content_.resize(had + want);
  if (in_.readAt(had, content_.data() + had, want) != want) {
    content_.resize(had);
    return fail(path_ + ": cannot be read");
  }
  return {};
}

}  // namespace qb
