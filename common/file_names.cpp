#include "common/file_names.h"

namespace qb {

Result<> checkMacroFileName(std::string_view fileName) {
  for (const char c : fileName) {
    if (static_cast<unsigned char>(c) < 0x20)
      return fail("a file name cannot contain control characters");
    if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
      return fail(std::string("a file name cannot contain ") + c);
  }
  if (fileName.size() > 255) return fail("the file name would be longer than 255 characters");
  return {};
}

}  // namespace qb
