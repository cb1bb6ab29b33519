# Compiles through ccache when it is installed, so a second build of the same sources (a fresh
# clone, another work tree, the package build) reuses the objects of the first.
#
# Paths are made relative to the source folder and the working folder is left out of the key,
# so two checkouts in different folders share the cache. The price is that the debug
# information of a reused object names the folder it was first built in.
find_program(VORLA_CCACHE ccache)
if(VORLA_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(launcher ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} CCACHE_NOHASHDIR=1
               ${VORLA_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${launcher} CACHE STRING "")
  set(CMAKE_CXX_COMPILER_LAUNCHER ${launcher} CACHE STRING "")
  message(STATUS "Compiler cache: ${VORLA_CCACHE}")
endif()
