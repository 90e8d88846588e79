#include "app/own_files.h"

#include <filesystem>

#include "app/product.h"
#include "common/file_io.h"

namespace qb {

std::string ownFolder(platform::Environment& environment) {
  return std::filesystem::path(environment.executablePath()).parent_path().string();
}

std::string helpPageAddress(platform::Environment& environment) {
  const std::string page = joinPath(ownFolder(environment), kHelpPageFile);
#ifdef _WIN32
  return page;
#else
  return "file://" + page;
#endif
}

}  // namespace qb
