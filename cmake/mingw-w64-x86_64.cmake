# Cross-compiling the Windows (x86_64) build with MinGW-w64 on Debian. The posix-thread compilers
# are the ones with std::mutex and std::thread; everything links statically, so the programs need
# no MinGW runtime DLLs beside them. The tests run under wine64 through tools/wine-run.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_qb_mingw x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${_qb_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_qb_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_qb_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_qb_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every macro program "Make Macro a Exe" makes is a copy of the stub (Tapbolt.exe), so the
# programs are built for size: -Os in the optimised builds, each function and object in a
# section of its own, and the sections nothing uses left out at the link.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
# (CMake appends its own -O2 or -O3 to a *_INIT value of a configuration, hence the cache.)
foreach(language C CXX)
  set(CMAKE_${language}_FLAGS_RELEASE "-Os -DNDEBUG" CACHE STRING "")
  set(CMAKE_${language}_FLAGS_RELWITHDEBINFO "-Os -g -DNDEBUG" CACHE STRING "")
endforeach()
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--gc-sections")

# Test discovery and every ctest run start the programs through Wine, in a prefix of the build's
# own (CMAKE_BINARY_DIR is the build folder when a preset configures it).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh
                                   ${CMAKE_BINARY_DIR}/wine-prefix)
