# Fails the build when an include climbs a layer or Qt reaches the model.
# Run as: cmake -DROOT=<src folder> -P CheckLayers.cmake
#
# Every folder under src/ has a rank; a file may include a header of its own
# folder or of a folder of lower rank. The model's folders (no qt/ in the
# path) rank below every Qt folder and may not include Qt at all. The two
# programs' folders (app/qt, app/cli) sit on top, and korvalog-pictures
# (app/pictures), built from the tool's export and report commands, above them.
set(ranks
  base 1  core 2  transport 3  transport/hidapi 4  transport/windows 4
  session 5  project 6  analysis 7  ui 8  fleet 8  chart 9  app 10
  ui/qt 11  settings/qt 12  chart/qt 13  project/qt 14  analysis/qt 14
  app/qt 15  app/cli 15  app/pictures 16)

function(folder_rank folder out)
  list(FIND ranks ${folder} i)
  if(i LESS 0)
    set(${out} -1 PARENT_SCOPE)
  else()
    math(EXPR j "${i} + 1")
    list(GET ranks ${j} r)
    set(${out} ${r} PARENT_SCOPE)
  endif()
endfunction()

# The folder a header path belongs to: "chart/qt/x.h" -> chart/qt,
# "transport/hidapi/x.h" -> transport/hidapi, "core/x.h" -> core.
function(header_folder path out)
  get_filename_component(dir ${path} DIRECTORY)
  set(${out} ${dir} PARENT_SCOPE)
endfunction()

set(failures "")
get_filename_component(ROOT "${ROOT}" ABSOLUTE)
file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/*.h ${ROOT}/*.hpp ${ROOT}/*.cpp)
if(NOT files)
  message(FATAL_ERROR "No sources to check under ${ROOT}")
endif()
foreach(f ${files})
  get_filename_component(folder ${f} DIRECTORY)
  if(folder STREQUAL "")
    continue()
  endif()
  folder_rank(${folder} rank)
  if(rank LESS 0)
    list(APPEND failures "${f}: the folder ${folder} is in no layer (add it to cmake/CheckLayers.cmake)")
    continue()
  endif()
  file(STRINGS ${ROOT}/${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
  foreach(line ${includes})
    if(NOT folder MATCHES "(^|/)qt$" AND line MATCHES "include[ \t]*[<\"](Q[A-Za-z]|qt)")
      list(APPEND failures "${f}: Qt header in the model: ${line}")
      continue()
    endif()
    if(NOT line MATCHES "include[ \t]*\"([^\"]+)\"")
      continue()
    endif()
    set(header ${CMAKE_MATCH_1})
    header_folder(${header} target)
    if(target STREQUAL "" OR target STREQUAL folder)
      continue()
    endif()
    folder_rank(${target} target_rank)
    if(target_rank LESS 0)
      list(APPEND failures "${f}: includes ${header} from ${target}, which is in no layer")
    elseif(NOT target_rank LESS rank)
      list(APPEND failures "${f}: includes ${header}: ${target} is not below ${folder}")
    endif()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "Includes that climb the layers:\n  ${text}")
endif()
