# Private link dependencies of the installed (static) libraries.
#
# A static library does not carry its dependencies: a program linking the
# installed libglint.a and libplatform.a must link what they use as well. Each
# module declares a dependency once, here, and the same record produces the
# lookup in this build, the find_dependency/pkg_check_modules lines of the
# installed CMake package and the Requires/Libs lines of glint.pc:
#
#   glint_private_dependency(PKG <PREFIX> <pkg-config module>)
#       pkg_check_modules(<PREFIX> REQUIRED IMPORTED_TARGET <module>);
#       link PkgConfig::<PREFIX>.
#   glint_private_dependency(FIND <Package> [VERSION <v>] [PC <pkg-config module>] [LIBS <flags>...])
#       find_package(<Package> [<v>] REQUIRED); the .pc file names the module,
#       or else the flags (for libraries without a .pc file, e.g. -lgif).
include_guard(GLOBAL)

function(glint_private_dependency kind name)
  cmake_parse_arguments(ARG "" "PC;VERSION" "LIBS" ${ARGN})
  if(kind STREQUAL "PKG")
    list(GET ARG_UNPARSED_ARGUMENTS 0 module)
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(${name} REQUIRED IMPORTED_TARGET ${module})
    set_property(GLOBAL APPEND PROPERTY GLINT_CONFIG_DEPS
      "pkg_check_modules(${name} REQUIRED IMPORTED_TARGET ${module})")
    set_property(GLOBAL APPEND PROPERTY GLINT_PC_REQUIRES ${module})
  elseif(kind STREQUAL "FIND")
    find_package(${name} ${ARG_VERSION} REQUIRED)
    set_property(GLOBAL APPEND PROPERTY GLINT_CONFIG_DEPS "find_dependency(${name} ${ARG_VERSION})")
    if(ARG_PC)
      set_property(GLOBAL APPEND PROPERTY GLINT_PC_REQUIRES ${ARG_PC})
    endif()
    if(ARG_LIBS)
      set_property(GLOBAL APPEND PROPERTY GLINT_PC_LIBS ${ARG_LIBS})
    endif()
  else()
    message(FATAL_ERROR "glint_private_dependency: PKG or FIND, not ${kind}")
  endif()
endfunction()

# Writes GlintConfig.cmake and glint.pc from the recorded dependencies and
# installs them with the CMake package. Call once, after every module.
function(glint_install_package)
  include(CMakePackageConfigHelpers)
  get_property(deps GLOBAL PROPERTY GLINT_CONFIG_DEPS)
  list(REMOVE_DUPLICATES deps)
  string(JOIN "\n" GLINT_CONFIG_DEPENDENCIES ${deps})
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/GlintConfig.cmake.in
    ${PROJECT_BINARY_DIR}/GlintConfig.cmake INSTALL_DESTINATION lib/cmake/Glint)
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/GlintConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/GlintConfig.cmake ${PROJECT_BINARY_DIR}/GlintConfigVersion.cmake
    DESTINATION lib/cmake/Glint)
  if(NOT WIN32)
    get_property(requires GLOBAL PROPERTY GLINT_PC_REQUIRES)
    get_property(libs GLOBAL PROPERTY GLINT_PC_LIBS)
    list(REMOVE_DUPLICATES requires)
    string(JOIN " " GLINT_PC_REQUIRES ${requires})
    string(JOIN " " GLINT_PC_LIBS ${libs})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/glint.pc.in ${PROJECT_BINARY_DIR}/glint.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/glint.pc DESTINATION lib/pkgconfig)
  endif()
endfunction()
