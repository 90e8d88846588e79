# GoogleTest and GoogleMock built from Debian's source package (googletest) with the project's
# compiler, for builds that cannot link the system's libgtest (the MinGW cross build). They give
# the same GTest::gtest, GTest::gtest_main, GTest::gmock targets as find_package(GTest).
set(QB_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources")
if(NOT EXISTS ${QB_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest's sources are not in ${QB_GOOGLETEST_SOURCE} (package googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${QB_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Not our code: built with its own warnings, not ours as errors.
foreach(target gtest gtest_main gmock gmock_main)
  set_property(TARGET ${target} PROPERTY COMPILE_OPTIONS "")
endforeach()
