# Installing the programs side by side with the help page, and the Debian package. The Windows
# build installs and packages its own way (packaging_windows.cmake).
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/packaging_windows.cmake)
  return()
endif()
include(GNUInstallDirs)
set(QB_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/quillbarrow)

install(TARGETS daventi tapbolt kestrip RUNTIME DESTINATION ${QB_INSTALL_DIR})
# The shortcut maker starts the hot key service from its own folder.
if(TARGET quillbarrow-hotkeys)
  install(TARGETS quillbarrow-hotkeys RUNTIME DESTINATION ${QB_INSTALL_DIR})
endif()
set(QB_STRIPPED daventi tapbolt kestrip)
if(TARGET quillbarrow-hotkeys)
  list(APPEND QB_STRIPPED quillbarrow-hotkeys)
endif()
# Installed programs carry no debug information, also without --strip: every program
# "Make Macro a Exe" makes is a copy of the stub, and should be a small one.
install(CODE "
  execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded ${QB_STRIPPED}
                  WORKING_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QB_INSTALL_DIR}\"
                  RESULT_VARIABLE stripped)
  if(NOT stripped EQUAL 0)
    message(FATAL_ERROR \"strip failed on the installed programs\")
  endif()")
install(FILES ${QB_GENERATED_DIR}/quillbarrow-help.html DESTINATION ${QB_INSTALL_DIR})
# The programs find each other (the stub, the shortcut maker) in their own folder, which they
# read through the real path of their executable; the commands on the PATH are links to it.
foreach(program daventi kestrip)
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK ../${QB_INSTALL_DIR}/${program}
         \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\" SYMBOLIC)")
endforeach()
install(FILES packaging/quillbarrow.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillbarrow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quillbarrow developers <support@quillbarrow.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keyboard and mouse macro recorder and player")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
