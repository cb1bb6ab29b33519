# find_package(Rkl32) gives the imported target Rkl32::rkl32 (library and rkl32.h).
include("${CMAKE_CURRENT_LIST_DIR}/Rkl32Targets.cmake")
