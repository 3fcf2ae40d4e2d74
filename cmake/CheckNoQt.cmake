# Fails the build when a model source (any file outside a qt/ folder under the
# model's folders) includes a Qt header.
file(GLOB_RECURSE files
  ${ROOT}/src/core/* ${ROOT}/src/transport/* ${ROOT}/src/chart/*
  ${ROOT}/src/project/* ${ROOT}/src/analysis/* ${ROOT}/src/settings/*
  ${ROOT}/src/ui/* ${ROOT}/src/app/*)
foreach(f ${files})
  if(f MATCHES "/qt/" OR NOT f MATCHES "\\.(h|hpp|cpp)$")
    continue()
  endif()
  file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt)")
  if(hits)
    message(FATAL_ERROR "Qt header in the model library: ${f}: ${hits}")
  endif()
endforeach()
