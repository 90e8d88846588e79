# The Windows build's delivery: Daventi.exe, Tapbolt.exe, Kestrip.exe and the help page in one
# folder, stripped on install, packed by CPack as a ZIP and as an NSIS installer
# (`cpack` in the build folder; makensis from Debian's nsis package).
#
# The installer puts the folder in Program Files\Quillbarrow, adds Start-menu entries for the
# recorder and the shortcut maker and an entry under installed apps; its uninstaller removes the
# files it installed and nothing else, so the macros and settings a user keeps in that folder
# (and in Documents\Quillbarrow) stay. Silent: `Quillbarrow-VERSION-win64.exe /S /D=FOLDER`,
# `Uninstall.exe /S`.
set(QB_WINDOWS_PROGRAMS daventi tapbolt kestrip)
install(TARGETS ${QB_WINDOWS_PROGRAMS} RUNTIME DESTINATION .)
install(FILES ${QB_GENERATED_DIR}/quillbarrow-help.html DESTINATION .)
# Installed programs carry no debug information, also without --strip: every program
# "Make Macro a Exe" makes is a copy of the installed stub.
foreach(program ${QB_WINDOWS_PROGRAMS})
  install(CODE "
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-all \"$<TARGET_FILE_NAME:${program}>\"
                    WORKING_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\"
                    RESULT_VARIABLE stripped)
    if(NOT stripped EQUAL 0)
      message(FATAL_ERROR \"strip failed on the installed $<TARGET_FILE_NAME:${program}>\")
    endif()")
endforeach()

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME Quillbarrow)
set(CPACK_PACKAGE_VENDOR "Quillbarrow developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quillbarrow developers <support@quillbarrow.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keyboard and mouse macro recorder and player")
set(CPACK_PACKAGE_FILE_NAME Quillbarrow-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quillbarrow)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES OFF)  # stripped by the install step above, with the MinGW strip

# The installer's script is packaging/windows/NSIS.template.in, found on CPack's module path in
# place of CPack's general-purpose one; it is an x86-64 installer like the programs, which also
# runs under a 64-bit-only Wine.
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_NSIS_MUI_ICON ${QB_PROGRAM_ICON})
set(CPACK_NSIS_MUI_UNIICON ${QB_PROGRAM_ICON})
set(CPACK_NSIS_DISPLAY_NAME Quillbarrow)
set(CPACK_NSIS_URL_INFO_ABOUT "https://quillbarrow.example")
include(CPack)
