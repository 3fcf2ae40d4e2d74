# The model library holds everything that computes: it must stay free of Qt so
# that every result the windows show can be built and tested without a display.
# korvalog_model_sources(<files...>) adds files to it from any folder; the
# no-Qt check runs over every one of them before the library is compiled.
add_library(korvalog_model STATIC)
target_include_directories(korvalog_model PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(korvalog_model PUBLIC Threads::Threads)
target_compile_definitions(korvalog_model PUBLIC KORVALOG_VERSION_TEXT="${PROJECT_VERSION}")

function(korvalog_model_sources)
  target_sources(korvalog_model PRIVATE ${ARGN})
endfunction()

add_custom_target(korvalog_model_no_qt
  COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR}
          -P ${PROJECT_SOURCE_DIR}/cmake/CheckNoQt.cmake
  COMMENT "Checking that the model library includes no Qt header")
add_dependencies(korvalog_model korvalog_model_no_qt)
