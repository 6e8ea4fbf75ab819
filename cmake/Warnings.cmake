# Warning set shared by every target of the project.
add_library(tesvar_warnings INTERFACE)
if(MSVC)
  # /utf-8: the sources hold Japanese literals in UTF-8; without it MSVC reads them in
  # the system's code page and every text comes out wrong.
  target_compile_options(tesvar_warnings INTERFACE
    "$<$<COMPILE_LANGUAGE:CXX>:/W4;/permissive-;/utf-8;/Zc:__cplusplus>")
  if(TESVAR_WERROR)
    target_compile_options(tesvar_warnings INTERFACE $<$<COMPILE_LANGUAGE:CXX>:/WX>)
  endif()
else()
  # C++ only: the resource compiler takes none of these.
  target_compile_options(tesvar_warnings INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wimplicit-fallthrough -Wnon-virtual-dtor -Wold-style-cast>)
  if(TESVAR_WERROR)
    target_compile_options(tesvar_warnings INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-Werror>)
  endif()
endif()
