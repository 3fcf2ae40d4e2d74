# The Debian package: the programs in /usr/bin (their install rules live
# beside them), the desktop entry, icon and file types (src/app/qt), the
# guide (tools/guide), and here the manual pages, the copyright file and the
# changelog Debian's policy asks for.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # korvalog_VERSION_amd64.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KORVALOG_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # Depends: from the libraries the programs link
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

if(TARGET korvalog-sim)
  install(TARGETS korvalog-sim RUNTIME DESTINATION bin)
endif()
# The USB logger's device, open to the user at the desk (udev rereads its
# rules when a device is plugged in).
install(FILES ${PROJECT_SOURCE_DIR}/tools/udev/70-korvalog-usb-logger.rules DESTINATION lib/udev/rules.d)
set(doc_dir share/doc/korvalog)
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright DESTINATION ${doc_dir})

# Files the package holds compressed, without a time stamp (gzip -n) so
# that the same sources make the same package.
find_program(KORVALOG_GZIP gzip REQUIRED)
set(package_dir ${CMAKE_BINARY_DIR}/package)
string(TIMESTAMP KORVALOG_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)  # honours SOURCE_DATE_EPOCH
configure_file(${PROJECT_SOURCE_DIR}/data/debian/changelog.in ${package_dir}/changelog @ONLY)
add_custom_command(OUTPUT ${package_dir}/changelog.gz
  COMMAND ${KORVALOG_GZIP} -9nf -k ${package_dir}/changelog
  DEPENDS ${package_dir}/changelog VERBATIM)
set(package_files ${package_dir}/changelog.gz)
install(FILES ${package_dir}/changelog.gz DESTINATION ${doc_dir})

# Manual pages made by help2man from each program's own --help, so that
# they say what the program does. A cross build cannot run its programs.
find_program(KORVALOG_HELP2MAN help2man)
if(KORVALOG_HELP2MAN AND NOT CMAKE_CROSSCOMPILING)
  foreach(page "korvalog|the lift signal logger's window program"
               "korvalog-cli|the lift signal logger's command-line tool"
               "korvalog-pictures|draws chart pictures and report pages for korvalog-cli"
               "korvalog-sim|a serial lift signal logger on a pseudo-terminal, for tests and practice")
    string(REPLACE "|" ";" page "${page}")
    list(GET page 0 program)
    list(GET page 1 summary)
    if(NOT TARGET ${program})  # the window program only with KORVALOG_GUI
      continue()
    endif()
    set(man ${package_dir}/${program}.1)
    add_custom_command(OUTPUT ${man}.gz
      COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
              ${KORVALOG_HELP2MAN} --no-info --section=1 --name=${summary}
              --version-string=${PROJECT_VERSION} --output=${man} $<TARGET_FILE:${program}>
      COMMAND ${KORVALOG_GZIP} -9nf ${man}
      DEPENDS ${program} VERBATIM)
    list(APPEND package_files ${man}.gz)
    install(FILES ${man}.gz DESTINATION share/man/man1)
  endforeach()
else()
  message(STATUS "help2man not found (or a cross build): no manual pages")
endif()
add_custom_target(korvalog_package_files ALL DEPENDS ${package_files})
