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
