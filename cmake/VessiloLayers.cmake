# The program's layers (docs/runtime.md, "Layers").

# The outside libraries' headers that the compiler finds in its own folders,
# where no include path hides them, also by their folder there (SDL2/,
# libpng16/): a stand-in for each, on the include path of every layer above
# the platform, stops the build there. zlib comes in with libpng.
foreach(header curl/curl.h fluidsynth.h png.h libpng16/png.h SDL2/SDL.h zlib.h X11/Xlib.h X11/Xutil.h)
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/layers/hidden/${header}
    CONTENT "// Generated (cmake/VessiloLayers.cmake): an outside library's header, above the platform.\n#error \"${header}: hidden from this layer (an outside library of the platform)\"\n")
endforeach()

# vessilo_add_layer(<name> [PLATFORM] FOLDERS <folder>... [EXCLUDE <file>...]):
# an object library of every .cpp under the folders (relative to the top of
# the source tree; sub-folders too) but the excluded ones. The folders, and
# every folder below them that holds a header, are its public include
# folders. A layer but the platform's (PLATFORM) cannot include the outside
# libraries' headers.
function(vessilo_add_layer name)
  cmake_parse_arguments(arg "PLATFORM" "" "FOLDERS;EXCLUDE" ${ARGN})
  set(sources "")
  set(dirs "")
  foreach(folder ${arg_FOLDERS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND sources ${found})
    file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.h)
    list(APPEND dirs ${CMAKE_SOURCE_DIR}/${folder})
    foreach(header ${headers})
      get_filename_component(dir ${header} DIRECTORY)
      list(APPEND dirs ${dir})
    endforeach()
  endforeach()
  foreach(excluded ${arg_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_SOURCE_DIR}/${excluded})
  endforeach()
  list(REMOVE_DUPLICATES dirs)
  list(SORT dirs)
  add_library(${name} OBJECT ${sources})
  target_include_directories(${name} PUBLIC ${dirs})
  if(NOT arg_PLATFORM)
    target_include_directories(${name} PRIVATE ${CMAKE_BINARY_DIR}/layers/hidden)
  endif()
  target_link_libraries(${name} PUBLIC vessilo_options)
  target_compile_options(${name} PRIVATE ${VESSILO_LAYER_FLAGS})
endfunction()

# The layer check, one test ("layers"): for each layer, a file of that layer
# including one of its own headers and then one of the layer above must fail
# to build, the higher header not found; so must one including a header
# hidden from it below: a platform header above the runtime, an outside
# library's header outside the platform. No file of the frameworks or the
# game includes a platform header, and no file outside the
# platform an outside library's. The probes are compiled with exactly the
# include folders of the layer's own files and are not part of the normal
# build.
function(vessilo_add_layer_check)
  set(probe_dir ${CMAKE_BINARY_DIR}/layers/probes)
  set(probes "")
  # layer target | a header of its own | a header of the layer above, or one
  # hidden from the layer
  foreach(probe
      "vessilo_leaf|VMUtf8.h|hal_system.h"
      "vessilo_ce|ce_hash.h|hal_window.h"
      "vessilo_runtime|java_lang_String.h|SDL.h"
      "vessilo_framework|ts_TsCanvas.h|hal_system.h"
      "vessilo_framework|ts_TsCanvas.h|curl/curl.h"
      "vessilo_framework|ts_TsCanvas.h|SDL2/SDL.h"
      "vessilo_framework|ts_TsCanvas.h|png.h"
      "vessilo_framework|ts_TsCanvas.h|libpng16/png.h"
      "vessilo_framework|ts_TsCanvas.h|zlib.h"
      "vessilo_platform|hal_system.h|java_lang_String.h"
      "vessilo_runtime|java_lang_String.h|ts_TsCanvas.h"
      "vessilo_framework|ts_TsCanvas.h|com_ventrix_common_Main.h"
      "vessilo_ui|com_ventrix_common_Main.h|scene_ingame_LevelLoader.h"
      "vessilo_game|ZedIRIvoz.h|SDL.h")
    string(REPLACE "|" ";" parts "${probe}")
    list(GET parts 0 layer)
    list(GET parts 1 own)
    list(GET parts 2 above)
    # One probe per layer and refused header: vessilo_runtime_probe_SDL_h.
    string(MAKE_C_IDENTIFIER "${layer}_probe_${above}" target)
    set(source ${probe_dir}/${target}.cpp)
    file(CONFIGURE OUTPUT ${source}
      CONTENT "// Generated: must not build (see cmake/VessiloLayers.cmake).\n#include \"${own}\"\n#include \"${above}\"\n")
    add_library(${target} OBJECT EXCLUDE_FROM_ALL ${source})
    # The layer's own view, without a build dependency on the layer.
    target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:${layer},INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} PRIVATE $<TARGET_PROPERTY:${layer},COMPILE_DEFINITIONS>)
    target_link_libraries(${target} PRIVATE vessilo_options)
    list(APPEND probes "${target}|${own}|${above}")
  endforeach()
  add_test(NAME layers COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
    "-DPROBES=${probes}" -P ${CMAKE_SOURCE_DIR}/cmake/VessiloLayerCheck.cmake)
  set_tests_properties(layers PROPERTIES LABELS layers)
endfunction()
