# The Debian packages the build and the tests need; sourced by ./run and ./test.
BUILD_PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev dpkg-dev)
# The X11 desktop backend and its tests: Qt 6, Xlib with XTest, XInput2 and xkbcommon; a
# private Xvfb with openbox, setxkbmap for the keyboard layouts the tests switch to, trayer for a
# notification area, xclip to read the clipboard from another program, and GLib's launcher (gio)
# and desktop-file-validate, which the tests run the desktop entries with.
X11_PACKAGES=(qt6-base-dev libx11-dev libxtst-dev libxi-dev libxkbcommon-dev libxcb1-dev xvfb
              openbox xauth x11-xkb-utils trayer xclip libglib2.0-bin desktop-file-utils)
# The libFuzzer targets (./fuzz, and the fuzz step of ./test): clang and its fuzzer runtime.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The Windows build (x86_64, cross-compiled with MinGW-w64's posix-thread compilers, which have
# std::mutex) and its tests, run under wine64; GoogleTest from its sources (googletest); python3
# draws the programs' icon; NSIS (makensis) builds the installer; unzip lists the ZIP's files.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 googletest python3 nsis unzip)
