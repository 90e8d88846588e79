#pragma once
// The programs on the real desktop: the desktop backend, native windows for every form, and the
// event loop until the program ends.

namespace qb::ui {

// daventi (and tapbolt with `standAloneBuild`). Returns the exit status.
int runRecorder(int argc, char** argv, bool standAloneBuild);
// kestrip.
int runShortcutMaker(int argc, char** argv);

}  // namespace qb::ui
