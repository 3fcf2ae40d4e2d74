# The model: everything that computes, free of Qt, so that every result the
# windows show can be built and tested without a display. Each folder of it
# is a layer and builds into a library of its own, korvalog_<folder>, that
# links only the layer below it. korvalog_model stands for the whole model.
#
# Layers, lowest first. A file may include from its own folder and from the
# folders below it, never from one above: CheckLayers.cmake fails the build
# on an include or a link that climbs, and on a Qt header outside a qt/ folder.
set(KORVALOG_MODEL_LAYERS base core transport session project analysis ui chart app)

add_custom_target(korvalog_layer_check
  COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR}/src
          -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
  COMMENT "Checking that no include climbs a layer")

# korvalog_layer(<folder>): the folder's *.cpp as korvalog_<folder>.
function(korvalog_layer folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(korvalog_${folder} STATIC ${sources})
  list(FIND KORVALOG_MODEL_LAYERS ${folder} index)
  if(index LESS 0)
    message(FATAL_ERROR "${folder} is not a model layer")
  elseif(index EQUAL 0)
    target_include_directories(korvalog_${folder} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(korvalog_${folder} PUBLIC Threads::Threads)
    target_compile_definitions(korvalog_${folder} PUBLIC KORVALOG_VERSION_TEXT="${PROJECT_VERSION}")
  else()
    math(EXPR below "${index} - 1")
    list(GET KORVALOG_MODEL_LAYERS ${below} below_folder)
    target_link_libraries(korvalog_${folder} PUBLIC korvalog_${below_folder})
  endif()
  add_dependencies(korvalog_${folder} korvalog_layer_check)
endfunction()

# korvalog_qt_layer(<target>): a Qt library is checked like the model's.
function(korvalog_qt_layer target)
  add_dependencies(${target} korvalog_layer_check)
endfunction()

# The whole model, for the programs, tools and tests above it.
add_library(korvalog_model INTERFACE)
target_link_libraries(korvalog_model INTERFACE korvalog_app)
