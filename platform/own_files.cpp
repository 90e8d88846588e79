#include "platform/own_files.h"

#include <filesystem>
#include <set>

#include "common/file_io.h"
#include "common/product.h"
#include "common/temporary_files.h"
#include "common/text.h"
#include "common/utf8_path.h"

namespace qb {

std::string ownFolder(platform::Environment& environment) {
  return utf8FromPath(pathFromUtf8(environment.executablePath()).parent_path());
}

std::string writableFolder(platform::Environment& environment, std::string_view subfolder) {
  const std::string own = ownFolder(environment);
  if (canWriteIn(own)) return own;
  const std::string data = environment.userDataFolder();
  if (data.empty()) return own;
  const std::string user = joinPath(data, subfolder);
  if (makeFolders(user) && canWriteIn(user)) return user;
  return own;
}

void removeInterruptedWrites(platform::Environment& environment, const std::string& macroFolder) {
  std::set<std::string> folders{macroFolder, ownFolder(environment)};
  if (const std::string data = environment.userDataFolder(); !data.empty()) {
    folders.insert(joinPath(data, kMacroSubfolder));
    folders.insert(joinPath(data, kProgramSubfolder));
  }
  for (const std::string& folder : folders)
    if (!folder.empty()) removeAbandonedTemporaries(folder);
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
