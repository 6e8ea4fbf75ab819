# Warning set shared by every target of the project.
add_library(tesvar_warnings INTERFACE)
if(MSVC)
  target_compile_options(tesvar_warnings INTERFACE /W4 /utf-8)
  if(TESVAR_WERROR)
    target_compile_options(tesvar_warnings INTERFACE /WX)
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

if(TESVAR_SANITIZE AND NOT WIN32)
  target_compile_options(tesvar_warnings INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer)
  target_link_options(tesvar_warnings INTERFACE -fsanitize=address,undefined)
endif()
