// The hot key service: grabs the hot keys of Quillbarrow's desktop entries in the desktop and
// applications menu folders and starts an entry's program when its key is pressed. Started at
// login from the autostart folder, and by the shortcut maker; a second instance ends at once.

#include <cstring>
#include <iostream>

#include "platform/posix/xdg_folders.h"
#include "platform/x11/hot_key_service.h"

int main(int argc, char** argv) {
  using namespace qb::platform::x11;
  if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << "Usage: " << kHotKeyServiceProgram
              << "\nStarts the programs of Quillbarrow's shortcuts from their hot keys "
                 "(X-Quillbarrow-HotKey) while it runs. Reads the shortcuts in:\n";
    for (const auto& folder : shortcutFolders()) std::cout << "  " << folder << "\n";
    return 0;
  }
  std::string error;
  bool alreadyRunning = false;
  auto service = HotKeyService::start(shortcutFolders(), &error, &alreadyRunning);
  if (!service) {
    if (alreadyRunning) return 0;
    std::cerr << kHotKeyServiceProgram << ": " << error << "\n";
    return 1;
  }
  return service->run();
}
