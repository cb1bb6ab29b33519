# Every library the product is made of, found once for the whole tree. A part of the product
# is never left out because its library is missing: the configure stops and names the Debian
# package to install (scripts/install-deps.sh installs them all), so a machine without one
# cannot build a smaller program and a green test run. Only the fuzzers and the benchmarks are
# optional (see the end of the top CMakeLists.txt).
include(FeatureSummary)

find_package(PkgConfig QUIET)
if(NOT PkgConfig_FOUND)
  message(FATAL_ERROR "pkg-config not found: install pkgconf")
endif()

# A Qt 6 module; `what` names it in the message.
macro(vorla_require_qt component what)
  find_package(Qt6 QUIET COMPONENTS ${component})
  if(NOT Qt6${component}_FOUND)
    message(FATAL_ERROR "Qt 6 ${what} not found: install ${ARGN}")
  endif()
endmacro()

# A library known to pkg-config, as the imported target PkgConfig::<prefix>.
macro(vorla_require_pkg prefix module debian_package purpose)
  pkg_check_modules(${prefix} QUIET IMPORTED_TARGET ${module})
  if(NOT ${prefix}_FOUND)
    message(FATAL_ERROR "${module} not found: install ${debian_package}")
  endif()
  add_feature_info(${module} ${prefix}_FOUND "${purpose} (${debian_package}, required)")
endmacro()

find_package(nlohmann_json 3 QUIET)
if(NOT nlohmann_json_FOUND)
  message(FATAL_ERROR "nlohmann_json 3 not found: install nlohmann-json3-dev")
endif()
set_package_properties(nlohmann_json PROPERTIES TYPE REQUIRED PURPOSE "vlgtool's and pagingsim's JSON")

# The gateway's carriers over the internet and pagingsim's WCTP endpoint.
vorla_require_pkg(VORLA_CURL libcurl libcurl4-openssl-dev "WCTP over HTTP(S)")
vorla_require_pkg(VORLA_LIBXML2 libxml-2.0 libxml2-dev "WCTP documents")
vorla_require_pkg(VORLA_MHD libmicrohttpd libmicrohttpd-dev "pagingsim's WCTP endpoint")
# The telephony provider over the system's modem service: the program's default provider,
# the only way it reaches a modem the system manages, so it is part of the product.
vorla_require_pkg(VORLA_GIO gio-2.0 libglib2.0-dev "the modem service provider")
vorla_require_pkg(VORLA_MODEMMANAGER ModemManager modemmanager-dev "the modem service provider")
vorla_require_pkg(VORLA_CRYPT libcrypt libcrypt-dev "the gateway's SNPP user passwords")

if(VORLA_UI)
  vorla_require_qt(Core "Core" qt6-base-dev)
  # Before Widgets: Debian's Qt Gui needs D-Bus itself, and the message should name D-Bus.
  vorla_require_qt(DBus "D-Bus (automation, vorlapage's hand-over)" qt6-base-dev)
  vorla_require_qt(Widgets "Widgets" qt6-base-dev)
  vorla_require_qt(Network "Network (the gateway)" qt6-base-dev)
  vorla_require_qt(PrintSupport "PrintSupport (the log and directory printing)" qt6-base-dev)
  vorla_require_qt(SerialPort "SerialPort (the modem test)" qt6-serialport-dev)
  if(VORLA_TESTS)
    vorla_require_qt(Test "Test" qt6-base-dev)
  endif()
  set_package_properties(Qt6 PROPERTIES TYPE REQUIRED PURPOSE "the program, vorlapage, vorlapaged, vorlaimport, Lomix")

  vorla_require_pkg(HUNSPELL hunspell libhunspell-dev "the message form's spelling")
  # The status bar's lock-key lights, read from the X server; under Wayland they stay blank.
  vorla_require_pkg(XCB xcb libxcb1-dev "the status bar's lock keys")
  vorla_require_pkg(SYSTEMD libsystemd libsystemd-dev "vorlapaged's readiness and socket activation")
  vorla_require_pkg(GMIME gmime-3.0 libgmime-3.0-dev "vorlapage --mail")
endif()
