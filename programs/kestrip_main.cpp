// The shortcut maker.

#include <cstdio>

#if QB_HAVE_DESKTOP
#include "ui/desktop_app.h"
#endif

int main(int argc, char** argv) {
#if QB_HAVE_DESKTOP
  return qb::ui::runShortcutMaker(argc, argv);
#else
  (void)argc;
  (void)argv;
  std::fputs("kestrip: this build has no desktop backend for the shortcut maker's window.\n",
             stderr);
  return 1;
#endif
}
