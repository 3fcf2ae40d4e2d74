# Runs one korvalog-cli command in a fresh folder and compares what it wrote
# with the stored expected bytes. With -DUPDATE=1 it stores them instead.
#   -DCLI=<korvalog-cli> -DWORK=<folder> -DINPUT=<file> -DARGS=<arguments, ^ between them, @IN@
#   = the input's name> -DRESULT=<file the command writes, or "stdout"> -DEXPECTED=<file>
#   -DSTATUS=<the exit status it must give>
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
get_filename_component(in_name ${INPUT} NAME)
file(COPY ${INPUT} DESTINATION ${WORK})
string(REPLACE "@IN@" "${in_name}" args "${ARGS}")
string(REPLACE "^" ";" args "${args}")
execute_process(COMMAND ${CLI} ${args} WORKING_DIRECTORY ${WORK}
                OUTPUT_FILE ${WORK}/stdout RESULT_VARIABLE status)
if(NOT status EQUAL STATUS)
  message(FATAL_ERROR "korvalog-cli ${args} exited with ${status}, not ${STATUS}")
endif()
if(RESULT STREQUAL "stdout")
  set(result ${WORK}/stdout)
else()
  set(result ${WORK}/${RESULT})
endif()
if(UPDATE AND NOT EXPECTED STREQUAL INPUT)
  file(COPY_FILE ${result} ${EXPECTED})
  return()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${result} ${EXPECTED} RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "korvalog-cli ${args}: ${result} differs from ${EXPECTED}")
endif()
