#pragma once
// A whole-file read a slice at a time, for a caller that lets events through between slices:
// the content grows in one string made at the file's size, so it is never copied on the way.

#include <string>

#include "common/os_files.h"
#include "common/result.h"

namespace qb {

class SlicedRead {
 public:
  // Refuses what readWholeFile refuses (a folder, a device or pipe, a file it cannot open).
  Result<> open(const std::string& path);
  // Reads up to `bytes` more; fails when the file cannot be read to the size it had at open,
  // and then it is never done.
  Result<> readSlice(std::size_t bytes);
  bool done() const { return content_.size() == size_; }
  // The content read, once done.
  std::string take() { return std::move(content_); }

 private:
  std::string path_;
  os::ReadFile in_;
  std::string content_;
  std::size_t size_ = 0;
};

}  // namespace qb
