# Packages, made by CPack from what the install rules install: on Linux a
# Debian package (cpack -G DEB), in the MinGW build a zip of korvalog-cli for
# Windows (cpack -G ZIP). scripts/package.sh makes both. The version is the
# project's (CMakeLists.txt), as everywhere else.
set(CPACK_PACKAGE_NAME korvalog)
set(CPACK_PACKAGE_VENDOR "the Korvalog developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "capture and chart the inputs of a lift signal data logger")
# Lines of at most 80 characters, as Debian's tools want them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Korvalog is for lift (elevator) service engineers working with a signal data"
  "logger wired to up to 128 inputs of a lift controller. The window program"
  "captures from the logger (serial or USB) and charts the inputs; it opens"
  "projects (*.kv), the logger's own logs and value change dumps, finds"
  "patterns, counts statistics and writes reports. korvalog-cli does the same"
  "work without a window, for scripts and unattended captures; korvalog-sim"
  "stands in for a serial logger.")
set(CPACK_STRIP_FILES ON)
set(CPACK_VERBATIM_VARIABLES ON)
set(KORVALOG_PACKAGE_MAINTAINER "Korvalog developers <korvalog@example.org>" CACHE STRING
    "The packages' maintainer, as Name <address>")

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsZip.cmake)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/DebianPackage.cmake)
endif()
include(CPack)
