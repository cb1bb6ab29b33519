# The version every program reports, in one generated header (vorla_build_info.h), with the
# --help/--version handling the programs share.
configure_file(${CMAKE_CURRENT_LIST_DIR}/vorla_build_info.h.in
               ${PROJECT_BINARY_DIR}/generated/vorla_build_info.h @ONLY)
add_library(vorla_build_info INTERFACE)
target_include_directories(vorla_build_info INTERFACE ${PROJECT_BINARY_DIR}/generated)
