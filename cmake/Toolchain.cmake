# Compiler and linker settings that belong to one toolchain only.
if(MINGW)
  # Every function in its own section, so the linker drops what is unused, and one
  # static executable: no libstdc++, libgcc or winpthread DLLs beside it.
  add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:-ffunction-sections;-fdata-sections>")
  add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
  # Windows programs with a wide-character entry point (wWinMain, wmain).
  set(TESVAR_UNICODE_ENTRY -municode)
  # Symbols stripped from what ships.
  set(TESVAR_STRIP -s)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    # clang links with lld and GCC's C++ library, which is built on posix threads; lld
    # resolves them from the thread library wherever it stands on the line.
    add_link_options(-fuse-ld=lld -L${TESVAR_MINGW_GCC_DIR} -lpthread)
  endif()
elseif(MSVC)
  add_compile_options("$<$<COMPILE_LANGUAGE:CXX>:/Gy;/Gw>")
  add_link_options("$<$<NOT:$<CONFIG:Debug>>:/OPT:REF;/OPT:ICF>")
endif()
