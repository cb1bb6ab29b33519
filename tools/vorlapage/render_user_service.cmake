# Run at install time: the service names vorlapage where it is being installed, which a
# package build only knows then (it installs into a staging folder under its own prefix).
set(bindir "${VORLA_INSTALL_BINDIR}")
if(NOT IS_ABSOLUTE "${bindir}")
  set(bindir "${CMAKE_INSTALL_PREFIX}/${bindir}")
endif()
set(VORLA_VORLAPAGE "${bindir}/vorlapage")
configure_file("${VORLA_SERVICE_TEMPLATE}" "${VORLA_SERVICE_OUTPUT}" @ONLY)
