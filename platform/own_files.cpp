#include "platform/own_files.h"

#include <set>

#include "common/file_io.h"
#include "common/folder_path.h"
#include "common/product.h"
#include "common/temporary_files.h"
#include "common/text.h"

namespace qb {

std::string ownFolder(platform::Environment& environment) {
  return parentFolder(environment.executablePath());
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
