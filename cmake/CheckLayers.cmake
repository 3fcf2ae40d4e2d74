# Fails the build when an include or a link climbs a layer or Qt reaches the
# model. Run as: cmake -DROOT=<src folder> -P CheckLayers.cmake
#
# Every folder under src/ has a rank; a file may include a header of its own
# folder or of a folder of lower rank, in quotes or in angle brackets alike
# (src/ is an include folder of every target, so both reach it). The model's
# folders (no qt/ in the path) rank below every Qt folder and may not include
# any Qt header at all. The two programs' folders (app/qt, app/cli) sit on
# top, and korvalog-pictures (app/pictures), built from the tool's export and
# report commands, above them. A target belongs to the folder whose
# CMakeLists.txt defines it and may link only libraries of its own folder or
# of lower rank.
cmake_minimum_required(VERSION 3.20)
set(ranks
  base 1  core 2  transport 3  transport/hidapi 4  transport/windows 4
  session 5  project 6  analysis 7  ui 8  fleet 8  chart 9  app 10
  ui/qt 11  settings/qt 12  chart/qt 13  project/qt 14  analysis/qt 14  fleet/qt 15
  app/qt 16  app/cli 16  app/pictures 17)
# Libraries defined outside the tree, with the folder they stand for:
# korvalog_model is the whole model, i.e. everything up to app.
set(outside_libraries korvalog_model app)

function(folder_rank folder out)
  list(FIND ranks "${folder}" i)
  if(i LESS 0)
    set(${out} -1 PARENT_SCOPE)
  else()
    math(EXPR j "${i} + 1")
    list(GET ranks ${j} r)
    set(${out} ${r} PARENT_SCOPE)
  endif()
endfunction()

# Whether an included name is a Qt header: QWidget, QtCore/qglobal.h, the
# lowercase qglobal.h and qstring.h alike (but not the standard <queue>).
function(is_qt_header header out)
  get_filename_component(name "${header}" NAME)
  if(header MATCHES "^Qt" OR name MATCHES "^Q[A-Za-z]" OR name MATCHES "^q[a-z0-9_]*\\.h$")
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

set(failures "")
get_filename_component(ROOT "${ROOT}" ABSOLUTE)
file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/*.h ${ROOT}/*.hpp ${ROOT}/*.cpp)
if(NOT files)
  message(FATAL_ERROR "No sources to check under ${ROOT}")
endif()
# The tree's top folders: an angle-bracket include that starts with one of
# them is the project's own header, whether or not the file exists.
file(GLOB tops RELATIVE ${ROOT} ${ROOT}/*)

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
    if(NOT line MATCHES "include[ \t]*[<\"]([^>\"]+)[>\"]")
      continue()
    endif()
    set(header ${CMAKE_MATCH_1})
    get_filename_component(target "${header}" DIRECTORY)
    string(REGEX REPLACE "/.*" "" top "${header}")
    set(project_header FALSE)
    if(EXISTS ${ROOT}/${header} OR EXISTS ${ROOT}/${folder}/${header}
       OR (NOT target STREQUAL "" AND top IN_LIST tops))
      set(project_header TRUE)
    endif()
    if(NOT project_header)
      is_qt_header("${header}" qt)
      if(qt AND NOT folder MATCHES "(^|/)qt$")
        list(APPEND failures "${f}: Qt header in the model: ${line}")
      endif()
      continue()
    endif()
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

# Links: first which folder defines each target, then every link against it.
file(GLOB_RECURSE lists RELATIVE ${ROOT} ${ROOT}/CMakeLists.txt)
set(owners ${outside_libraries})
foreach(l ${lists})
  get_filename_component(folder ${l} DIRECTORY)
  file(READ ${ROOT}/${l} text)
  string(REGEX REPLACE "#[^\n]*" "" text "${text}")
  string(REGEX MATCHALL "add_(library|executable)\\([ \t\n]*[A-Za-z0-9_.+-]+" defined "${text}")
  string(REGEX MATCHALL "korvalog_layer\\([ \t\n]*[A-Za-z0-9_]+" layers "${text}")
  foreach(d ${defined})
    string(REGEX REPLACE ".*\\([ \t\n]*" "" name "${d}")
    list(APPEND owners ${name} "${folder}")
  endforeach()
  foreach(d ${layers})
    string(REGEX REPLACE ".*\\([ \t\n]*" "" name "${d}")
    list(APPEND owners korvalog_${name} "${folder}")
  endforeach()
endforeach()

function(owner_folder name out)
  list(FIND owners "${name}" i)
  math(EXPR odd "${i} % 2")
  if(i LESS 0 OR odd EQUAL 1)
    set(${out} "" PARENT_SCOPE)
  else()
    math(EXPR j "${i} + 1")
    list(GET owners ${j} folder)
    set(${out} "${folder}" PARENT_SCOPE)
  endif()
endfunction()

foreach(l ${lists})
  file(READ ${ROOT}/${l} text)
  string(REGEX REPLACE "#[^\n]*" "" text "${text}")
  string(REPLACE ";" " " text "${text}")
  string(REGEX MATCHALL "target_link_libraries\\([^)]*\\)" calls "${text}")
  foreach(call ${calls})
    string(REGEX REPLACE "^target_link_libraries\\(|\\)$" "" call "${call}")
    string(REGEX REPLACE "[ \t\n]+" ";" words "${call}")
    list(FILTER words EXCLUDE REGEX "^$")
    list(POP_FRONT words target)
    owner_folder(${target} folder)
    folder_rank("${folder}" rank)
    if(rank LESS 0)
      continue()
    endif()
    foreach(library ${words})
      owner_folder(${library} library_folder)
      if(library_folder STREQUAL "" OR library_folder STREQUAL folder)
        continue()
      endif()
      folder_rank("${library_folder}" library_rank)
      if(NOT library_rank LESS rank)
        list(APPEND failures "${l}: ${target} links ${library} of ${library_folder}, which is not below ${folder}")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "Includes or links that climb the layers:\n  ${text}")
endif()
