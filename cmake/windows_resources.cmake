# Windows resources of the programs (icon, application manifest, version information), compiled
# with the toolchain's resource compiler (windres). On other systems the function does nothing.
#
#   qb_add_windows_resources(TARGET NAME DESCRIPTION)
#
# names TARGET's executable NAME.exe and gives it the version information's file description
# DESCRIPTION, product "Quillbarrow" and the version of project().
if(WIN32)
  enable_language(RC)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(QB_WINDOWS_RESOURCES_DIR ${PROJECT_SOURCE_DIR}/programs/windows)
  # The icon is drawn at build time by a small script of the repository's own.
  # Cached for the installer (packaging_windows.cmake), which shows the same icon.
  set(QB_PROGRAM_ICON ${PROJECT_BINARY_DIR}/generated/windows/quillbarrow.ico CACHE INTERNAL
      "The programs' icon")
  add_custom_command(OUTPUT ${QB_PROGRAM_ICON}
    COMMAND ${Python3_EXECUTABLE} ${QB_WINDOWS_RESOURCES_DIR}/make_icon.py ${QB_PROGRAM_ICON}
    DEPENDS ${QB_WINDOWS_RESOURCES_DIR}/make_icon.py
    COMMENT "Drawing the programs' icon")
  add_custom_target(qb_program_icon DEPENDS ${QB_PROGRAM_ICON})
endif()

function(qb_add_windows_resources target name description)
  if(NOT WIN32)
    return()
  endif()
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name})
  # A version of four numbers for the fixed fields of VERSIONINFO and for the manifest.
  set(version_numbers ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH}
                      ${PROJECT_VERSION_TWEAK})
  list(LENGTH version_numbers count)
  while(count LESS 4)
    list(APPEND version_numbers 0)
    list(LENGTH version_numbers count)
  endwhile()
  list(JOIN version_numbers "," QB_RESOURCE_VERSION_COMMAS)
  list(JOIN version_numbers "." QB_RESOURCE_VERSION_DOTS)
  set(QB_RESOURCE_NAME ${name})
  set(QB_RESOURCE_DESCRIPTION ${description})
  set(QB_RESOURCE_ICON ${QB_PROGRAM_ICON})
  set(folder ${PROJECT_BINARY_DIR}/generated/windows/${target})
  set(QB_RESOURCE_MANIFEST ${folder}/${name}.exe.manifest)
  configure_file(${QB_WINDOWS_RESOURCES_DIR}/program.manifest.in ${QB_RESOURCE_MANIFEST} @ONLY)
  configure_file(${QB_WINDOWS_RESOURCES_DIR}/program.rc.in ${folder}/${name}.rc @ONLY)
  target_sources(${target} PRIVATE ${folder}/${name}.rc)
  # windres reads the icon and the manifest by name: a new icon or manifest makes a new object.
  set_source_files_properties(${folder}/${name}.rc PROPERTIES
    OBJECT_DEPENDS "${QB_PROGRAM_ICON};${QB_RESOURCE_MANIFEST}")
  add_dependencies(${target} qb_program_icon)
endfunction()
