# How the project's targets are put together: the warnings every target is compiled with,
# and the headers a library shows to the code that links it.

# The warnings, as a target of their own. Every target of the project links it PRIVATE
# (tarnik_apply_warnings walks the tree at the end of the top-level CMakeLists), so the
# flags reach our code and never a target that merely links one of ours.
add_library(tarnik_warnings INTERFACE)
target_compile_options(tarnik_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  $<$<BOOL:${TARNIK_WERROR}>:-Werror>)

# Links tarnik_warnings PRIVATE into every target built from the folder DIR and below it.
function(tarnik_apply_warnings dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      target_link_libraries(${target} PRIVATE tarnik_warnings)
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    tarnik_apply_warnings(${subdir})
  endforeach()
endfunction()

# Makes the headers of TARGET includable as "<folder>/<name>.h" by the target itself and by
# whatever links it, and by nothing else. Each header gets a symbolic link in a folder of
# the build tree that only TARGET puts on the include path, so a library that includes
# another library's header without linking that library fails to compile.
#
#   tarnik_expose_headers(TARGET [ROOT dir] [DIRS folder...] [FILES folder/name.h...]
#                         [EXCLUDE folder/name.h...])
#
# ROOT: where the folders lie (default src/). DIRS: folders under ROOT whose *.h files are
# the target's (not their subfolders, which may be libraries of their own). FILES: single
# headers. EXCLUDE: headers in DIRS that belong to another target.
function(tarnik_expose_headers target)
  cmake_parse_arguments(arg "" "ROOT" "DIRS;FILES;EXCLUDE" ${ARGN})
  if(NOT arg_ROOT)
    set(arg_ROOT ${PROJECT_SOURCE_DIR}/src)
  endif()
  set(headers ${arg_FILES})
  foreach(dir IN LISTS arg_DIRS)
    file(GLOB found CONFIGURE_DEPENDS RELATIVE ${arg_ROOT} ${arg_ROOT}/${dir}/*.h)
    list(APPEND headers ${found})
  endforeach()
  if(arg_EXCLUDE)
    list(REMOVE_ITEM headers ${arg_EXCLUDE})
  endif()

  # Made afresh at each configure, so a removed or renamed header leaves no link behind.
  set(include_root ${PROJECT_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${include_root})
  foreach(header IN LISTS headers)
    if(NOT EXISTS ${arg_ROOT}/${header})
      message(FATAL_ERROR "${target}: no header ${arg_ROOT}/${header}")
    endif()
    get_filename_component(folder ${include_root}/${header} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${arg_ROOT}/${header} ${include_root}/${header} SYMBOLIC)
  endforeach()

  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${include_root})
  else()
    target_include_directories(${target} PUBLIC ${include_root})
  endif()
endfunction()
