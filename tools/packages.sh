# The Debian packages the build and the tests need; sourced by ./run and ./test.
BUILD_PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev)
