#pragma once
// Qt gives every window a colormap of its own, even on the screen's default visual. Screen
// readers that group windows by visual and colormap (xwd and the tools built on its
// multi-visual reader) then read a dialog through the window it covers, and the server blacks
// that part out. Windows on the default visual therefore take the screen's default colormap:
// the pixels are the same, and every reader sees what the screen shows.

namespace qb::platform::x11 {

// Watches the application's windows as they are shown; call once the QApplication exists.
void shareDefaultColormap();

}  // namespace qb::platform::x11
