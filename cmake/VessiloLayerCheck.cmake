# Run by the test "layers" (cmake -P; see VessiloLayers.cmake): BUILD_DIR,
# SOURCE_DIR, and PROBES, a list of "<probe target>|<own header>|<header the
# layer must not see>".
set(failures "")

foreach(probe ${PROBES})
  string(REPLACE "|" ";" parts "${probe}")
  list(GET parts 0 target)
  list(GET parts 1 own)
  list(GET parts 2 above)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(REGEX MATCH "${above}['\"]? ?(: No such file or directory|file not found|: hidden from this layer)" refused "${output}")
  if(status EQUAL 0)
    list(APPEND failures "${target}: a file of the layer includes ${above}, hidden from it, and it builds")
  elseif(NOT refused)
    list(APPEND failures "${target}: failed, but not for want of ${above} (is ${own} found?):\n${output}")
  endif()
endforeach()

# The frameworks and the game reach the platform only through the runtime.
file(GLOB_RECURSE upper ${SOURCE_DIR}/src/ts/*.cpp ${SOURCE_DIR}/src/ts/*.h ${SOURCE_DIR}/src/ventrix/*.cpp
  ${SOURCE_DIR}/src/ventrix/*.h ${SOURCE_DIR}/src/game/*.cpp ${SOURCE_DIR}/src/game/*.h)
foreach(file ${upper})
  file(STRINGS ${file} platform_includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](hal|ce)[_.]")
  if(platform_includes)
    file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
    list(APPEND failures "${name} includes a platform header: ${platform_includes}")
  endif()
endforeach()

# The outside libraries are the platform's: no layer above it includes their
# headers, not even those that the compiler finds in its own folders, by
# their own name or through their folder (SDL2/SDL.h, libpng16/png.h).
file(GLOB_RECURSE above_platform ${SOURCE_DIR}/lib_src/*.cpp ${SOURCE_DIR}/lib_src/*.h ${SOURCE_DIR}/target/*.cpp
  ${SOURCE_DIR}/target/*.h ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h)
foreach(file ${above_platform})
  file(STRINGS ${file} library_includes
    REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](SDL[A-Za-z0-9_]*[./]|curl/|fluidsynth|libpng[0-9]*/|png(conf)?\\.h|zlib\\.h|zconf\\.h|ft2build\\.h|freetype[0-9]*/|X11/)")
  if(library_includes)
    file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
    list(APPEND failures "${name} includes an outside library's header: ${library_includes}")
  endif()
endforeach()

# Inside the game, the scenes come before the scene factory and the
# application class that make them.
file(GLOB_RECURSE scenes ${SOURCE_DIR}/src/game/scene/*.cpp ${SOURCE_DIR}/src/game/scene/*.h)
foreach(file ${scenes})
  file(STRINGS ${file} factory_includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](sam_SamSceneManager|ZedIRIvoz)\\.h")
  if(factory_includes)
    file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
    list(APPEND failures "${name} includes the scene factory: ${factory_includes}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "Layer rule broken:\n${text}")
endif()
message(STATUS "Every layer refuses the headers of the layer above.")
