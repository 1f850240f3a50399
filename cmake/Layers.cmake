# One library per layer, each seeing only itself and what lies below it.
#
# Sources include a layer's headers by the layer's folder name
# ("settings/ConfigFile.h"), so a shared include root of src/ would let any
# file include any layer. Instead each layer gets an include root of its own
# in the build tree, holding links to just that layer's headers under the
# name its includes use; a target sees a layer's headers only when it links
# the layer, and an include that runs back up the layers fails to compile.

# hidhost_layer(TARGET DIR <folder under the source root> AS <include prefix>
#               [SOURCES file...] [LINKS target...])
# Without SOURCES the layer is headers only (an INTERFACE library).
function(hidhost_layer target)
  cmake_parse_arguments(LAYER "" "DIR;AS" "SOURCES;LINKS" ${ARGN})
  set(root ${PROJECT_BINARY_DIR}/layers/${target})
  set(exposed ${root}/${LAYER_AS})
  file(REMOVE_RECURSE ${exposed})
  file(MAKE_DIRECTORY ${exposed})
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${LAYER_DIR}/*.h)
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${exposed}/${name} SYMBOLIC)
  endforeach()
  if(LAYER_SOURCES)
    list(TRANSFORM LAYER_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/${LAYER_DIR}/)
    add_library(${target} STATIC ${LAYER_SOURCES})
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${LAYER_LINKS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${root})
    target_link_libraries(${target} INTERFACE ${LAYER_LINKS})
  endif()
endfunction()

# The layers' .cpp files, by folder, for targets that compile a layer's
# sources themselves (the fuzz build instruments them).
function(hidhost_layer_sources out dir)
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
  list(TRANSFORM sources REPLACE "^${PROJECT_SOURCE_DIR}/${dir}/" "")
  set(${out} ${sources} PARENT_SCOPE)
endfunction()
