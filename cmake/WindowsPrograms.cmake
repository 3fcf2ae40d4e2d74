# Windows programs get a manifest that makes UTF-8 their code page (Windows
# 10 1903 and later): main() then receives its arguments in UTF-8, as on
# Linux, and the C library opens UTF-8 file names. Elsewhere nothing happens.
function(korvalog_windows_program target)
  if(WIN32)
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/windows/utf8.rc)
  endif()
endfunction()
