# Fails configuration when a .cpp file under one of the given folders is not
# compiled by any target of this build: a file left out of the build would
# otherwise go unnoticed.

# Collects into <out> the absolute paths of the sources of every target
# defined in <dir> and the folders below it.
function(_vessilo_sources_of_targets dir out)
  set(found "")
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(sources ${target} SOURCES)
    if(NOT sources)
      continue()
    endif()
    get_target_property(target_dir ${target} SOURCE_DIR)
    foreach(source ${sources})
      if(source MATCHES "^\\$<")
        continue()  # objects of another target
      endif()
      get_filename_component(source ${source} ABSOLUTE BASE_DIR ${target_dir})
      list(APPEND found ${source})
    endforeach()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    _vessilo_sources_of_targets(${subdir} below)
    list(APPEND found ${below})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# vessilo_check_every_source_is_built(<folder>...): folders relative to the
# top of the source tree.
function(vessilo_check_every_source_is_built)
  set(patterns "")
  foreach(folder ${ARGN})
    list(APPEND patterns ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  endforeach()
  file(GLOB_RECURSE on_disk CONFIGURE_DEPENDS ${patterns})
  _vessilo_sources_of_targets(${CMAKE_SOURCE_DIR} built)
  set(missing "")
  foreach(source ${on_disk})
    if(NOT source IN_LIST built)
      file(RELATIVE_PATH name ${CMAKE_SOURCE_DIR} ${source})
      list(APPEND missing ${name})
    endif()
  endforeach()
  if(missing)
    list(JOIN missing "\n  " missing_text)
    message(FATAL_ERROR
      "These source files belong to no target and would not be built:\n  ${missing_text}\n"
      "Program code goes in the folders of a layer (ce/, hal/, lib_src/vm/, target/winmo/pb_src/vm/, "
      "target/winmo/pb_src/j2me/, src/ts/, src/ventrix/, src/game/; any sub-folder); tests go in a "
      "folder tests/<folder>/ (any depth below it), never directly in tests/; benchmarks in "
      "bench/; fuzz targets are fuzz/fuzz_<name>.cpp. See docs/runtime.md, \"Layers\" and \"How "
      "a file joins the build\".")
  endif()
endfunction()
