# The Debian packages, built by scripts/package.sh (cpack -G DEB):
#   vorlapro      the programs, librkl32, the plug-ins, the shipped data and the desktop files
#   vorlapro-dev  rkl32.h, the link name, pkg-config and CMake files, for hosts of the engine
# Dependencies come from what the binaries link (dpkg-shlibdeps), plus what Qt loads at run
# time without linking it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorlapro)
set(CPACK_PACKAGE_VENDOR "Quillon")
set(CPACK_PACKAGE_CONTACT "Vorla Pro developers <packages@vorlapro.example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Each package's description starts with its own one-line summary; CPack would put a shared
# CPACK_PACKAGE_DESCRIPTION_SUMMARY in front of both, so none is set.
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "send text messages to pagers
Vorla Pro keeps a directory of paging services, subscribers, groups and
preset messages, cuts each message into pager pages and sends them through a
modem (or over TCP) by running a script that talks to the carrier's paging
terminal. Failed pages are sent again automatically; every outcome goes to a
message log. Command-line tools send pages and run scripts without the window.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vorlapro.invalid/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The build keeps its debugging information; the package does not need it.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps must find librkl32 in the staging tree, which is not yet installed anywhere.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "${CMAKE_BINARY_DIR}/lib")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME vorlapro)
set(CPACK_DEBIAN_RUNTIME_FILE_NAME DEB-DEFAULT)
# Loaded by Qt at run time, so no link records them: the X11 platform plug-in, and the SVG
# image and icon engines the desktop's icon themes draw through.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
# librkl32 is a public library: the linker cache is refreshed by dpkg's trigger.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS "hunspell-en-us | hunspell-dictionary")
set(CPACK_DEBIAN_DEV_PACKAGE_NAME vorlapro-dev)
set(CPACK_DEBIAN_DEV_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "vorlapro (= ${PROJECT_VERSION}-1)")
set(CPACK_DEBIAN_DEV_DESCRIPTION "development files of Rkl32, the script engine of Vorla Pro
rkl32.h, the link name of librkl32 and its pkg-config and CMake package files,
for programs that host the RKL script engine themselves.")

# Debian's documentation files for each package: the copyright and the packaging changelog.
set(_vorla_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
add_custom_command(OUTPUT ${_vorla_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > ${_vorla_changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog VERBATIM)
add_custom_target(vorla_package_changelog ALL DEPENDS ${_vorla_changelog})
foreach(pair "runtime;vorlapro" "dev;vorlapro-dev")
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${_vorla_changelog}
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endforeach()

include(CPack)
