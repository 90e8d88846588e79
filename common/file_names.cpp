#include "common/file_names.h"

namespace qb {

std::string macroNameProblem(std::string_view fileName) {
  for (const char c : fileName) {
    if (static_cast<unsigned char>(c) < 0x20)
      return "a file name cannot contain control characters";
    if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos)
      return std::string("a file name cannot contain ") + c;
  }
  if (fileName.size() > 255) return "the file name would be longer than 255 characters";
  return {};
}

}  // namespace qb
