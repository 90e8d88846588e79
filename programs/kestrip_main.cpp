// The shortcut maker.

#include <iostream>

#if QB_HAVE_DESKTOP
#include "ui/desktop_app.h"
#endif

int main(int argc, char** argv) {
#if QB_HAVE_DESKTOP
  return qb::ui::runShortcutMaker(argc, argv);
#else
  (void)argc;
  (void)argv;
  std::cerr << "kestrip: this build has no desktop backend for the shortcut maker's window.\n";
  return 1;
#endif
}
