# Packages (scripts/deb.sh) write the source folder, and a build folder outside it, as "." into
# debug information and __FILE__, whatever characters the paths hold: no build path lands in
# a file, and the build ID is the same from every clone.
option(KW_MAP_BUILD_PATHS "Map the build's folders to . in the files it makes" OFF)
if(KW_MAP_BUILD_PATHS)
  add_compile_options("-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.")
  cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${PROJECT_BINARY_DIR}" inside)
  if(NOT inside)
    add_compile_options("-ffile-prefix-map=${PROJECT_BINARY_DIR}=.")
  endif()
endif()

# Compiler settings every target of the project gets.
function(kw_set_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${KW_WERROR}>:-Werror>)
  if(KW_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all
                                             -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(WIN32)
    # One self-contained executable: no MinGW runtime DLLs beside it.
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

# Makes `target` wait for a scan of its layer's #include lines (cmake/CheckIncludes.cmake),
# so that a file reaching past its layer fails the build. Include roots alone do not stop
# <windows.h> in the cross build, nor a path that climbs out with "../".
#   kw_check_layer(target DIR dir [FILES names...] [ALLOWED paths...] [STANDARD])
# FILES (globs under DIR) names the layer's files where two layers share a folder; ALLOWED
# may then name another layer's files as well as folders.
function(kw_check_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "STANDARD" "DIR" "FILES;ALLOWED")
  set(layers ${PROJECT_SOURCE_DIR}/core ${PROJECT_SOURCE_DIR}/framework ${PROJECT_SOURCE_DIR}/win
             ${PROJECT_SOURCE_DIR}/win/rules ${PROJECT_SOURCE_DIR}/x11 ${PROJECT_SOURCE_DIR}/tools
             ${PROJECT_SOURCE_DIR}/tests)
  set(forbidden ${layers})
  list(REMOVE_ITEM forbidden ${arg_DIR} ${arg_ALLOWED})
  if(arg_FILES)
    list(TRANSFORM arg_FILES PREPEND ${arg_DIR}/)
    file(GLOB sources CONFIGURE_DEPENDS ${arg_FILES})
  else()
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${arg_DIR}/*.h ${arg_DIR}/*.cpp ${arg_DIR}/*.rc)
  endif()
  set(roots "$<REMOVE_DUPLICATES:$<TARGET_PROPERTY:${target},INCLUDE_DIRECTORIES>>")
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.includes)
  set(script ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake)
  list(JOIN arg_ALLOWED "\\;" allowed)
  list(JOIN forbidden "\\;" forbidden)
  set(files "")
  if(arg_FILES)
    list(JOIN sources "\\;" files)
  endif()
  add_custom_command(OUTPUT ${stamp}
                     COMMAND ${CMAKE_COMMAND} -DLAYER=${target} -DDIR=${arg_DIR} -DFILES=${files} -DROOTS=${roots} -DALLOWED=${allowed}
                             -DFORBIDDEN=${forbidden} -DSTANDARD=${arg_STANDARD} -P ${script}
                     COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
                     DEPENDS ${sources} ${script}
                     COMMENT "Checking the includes of ${target}"
                     VERBATIM)
  add_custom_target(${target}_includes DEPENDS ${stamp})
  add_dependencies(${target} ${target}_includes)
endfunction()
