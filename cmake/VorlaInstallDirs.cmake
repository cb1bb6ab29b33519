# Where an installed Vorla Pro keeps its files (GNU layout), in one place for the install()
# rules and for the code that looks for them at run time.
#
# The folders are relative to the install prefix, and the programs find the prefix as the
# parent of their own folder, so a tree installed with `cmake --install --prefix DIR` (the
# tests, a relocated copy) finds its plug-ins and data as surely as a package under /usr.
include(GNUInstallDirs)
# Documentation goes under the package's name, where a Debian package keeps it, unless the
# builder chose a folder.
if(CMAKE_INSTALL_DOCDIR STREQUAL "${CMAKE_INSTALL_DATAROOTDIR}/doc/${PROJECT_NAME}")
  set(CMAKE_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/vorlapro")
endif()

# Translator plug-ins (Lomix and any added later); the program searches this folder besides
# the "import" folder of the program directory.
set(VORLA_INSTALL_TRANSLATORDIR "${CMAKE_INSTALL_LIBDIR}/vorlapro/import")
# Telephony provider libraries, loaded by file name.
set(VORLA_INSTALL_TELEPHONYDIR "${CMAKE_INSTALL_LIBDIR}/vorlapro/telephony")
# The shipped scripts, service and modem lists and samples a user's data folder is seeded from.
set(VORLA_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/vorlapro")
set(VORLA_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/Rkl32")

# The same folders for C and C++: #include "vorla_install_dirs.h" after linking vorla_install_dirs.
set(_vorla_dirs_header "${CMAKE_BINARY_DIR}/generated/vorla_install_dirs.h")
file(CONFIGURE OUTPUT "${_vorla_dirs_header}" CONTENT [[
/* Generated from cmake/VorlaInstallDirs.cmake: the installed layout, relative to the prefix. */
#ifndef VORLA_INSTALL_DIRS_H
#define VORLA_INSTALL_DIRS_H
#define VORLA_INSTALL_BINDIR "@CMAKE_INSTALL_BINDIR@"
#define VORLA_INSTALL_TRANSLATORDIR "@VORLA_INSTALL_TRANSLATORDIR@"
#define VORLA_INSTALL_TELEPHONYDIR "@VORLA_INSTALL_TELEPHONYDIR@"
#define VORLA_INSTALL_DATADIR "@VORLA_INSTALL_DATADIR@"
#endif
]] @ONLY)
add_library(vorla_install_dirs INTERFACE)
target_include_directories(vorla_install_dirs INTERFACE "${CMAKE_BINARY_DIR}/generated")

# Installed programs find librkl32 beside the prefix they sit in ($ORIGIN keeps the tree
# relocatable); a library folder the linker searches anyway (a package under /usr) needs none.
set(_vorla_system_libdirs ${CMAKE_PLATFORM_IMPLICIT_LINK_DIRECTORIES} ${CMAKE_CXX_IMPLICIT_LINK_DIRECTORIES})
list(FIND _vorla_system_libdirs "${CMAKE_INSTALL_FULL_LIBDIR}" _vorla_libdir_is_system)
if(_vorla_libdir_is_system EQUAL -1)
  file(RELATIVE_PATH _vorla_bin_to_lib "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
  set(CMAKE_INSTALL_RPATH "$ORIGIN/${_vorla_bin_to_lib}")
endif()

# install() rules that name no component belong to the program itself, not to the dev files.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME runtime)
