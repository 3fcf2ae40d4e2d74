# The Windows zip: korvalog-cli.exe, the MinGW runtime DLLs it needs, the
# guide and a read-me, in one folder that runs where it is unpacked. The
# toolchain links statically, so today no DLL is needed; they are looked up
# with objdump at install time all the same, so that a change of linking
# cannot leave one out.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME korvalog-cli-${PROJECT_VERSION}-windows-x64)
install(TARGETS korvalog-cli RUNTIME DESTINATION .)

# The compiler's own DLLs lie beside its libgcc; the sysroot's (the threads
# library) in its lib folder.
find_program(KORVALOG_OBJDUMP NAMES x86_64-w64-mingw32-objdump objdump REQUIRED)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
                OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(compiler_dlls "${libgcc}" DIRECTORY)
set(dll_folders ${compiler_dlls})
foreach(root IN LISTS CMAKE_FIND_ROOT_PATH)
  list(APPEND dll_folders ${root}/bin ${root}/lib)
endforeach()
install(CODE "set(korvalog_objdump [[${KORVALOG_OBJDUMP}]])
set(korvalog_dll_folders [[${dll_folders}]])
set(korvalog_program korvalog-cli.exe)")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/MingwRuntimeDlls.cmake)

# The guide comes from the Linux build (the Windows build has no Qt to draw
# its pictures): scripts/package.sh passes the one that build installs.
set(KORVALOG_GUIDE_PDF "" CACHE FILEPATH "The user guide PDF to put in the Windows zip")
if(KORVALOG_GUIDE_PDF)
  install(FILES ${KORVALOG_GUIDE_PDF} DESTINATION .)
endif()
configure_file(${PROJECT_SOURCE_DIR}/data/windows/README.txt.in ${CMAKE_BINARY_DIR}/package/README.txt
               @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_BINARY_DIR}/package/README.txt DESTINATION .)
