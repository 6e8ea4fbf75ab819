# A second compiler for the Windows code: Debian's clang targeting MinGW-w64, with the
# MinGW-w64 headers and GCC's C++ library, linked by lld. It builds what the GCC
# toolchain builds; its tests are not run (the GCC build runs them under Wine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET ${triple})
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET ${triple})
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Debian keeps GCC's C++ library for MinGW-w64 under a folder named "<version>-posix",
# which clang does not look for: name it.
file(GLOB gcc_dirs LIST_DIRECTORIES true /usr/lib/gcc/${triple}/*-posix)
list(SORT gcc_dirs COMPARE NATURAL ORDER DESCENDING)
list(GET gcc_dirs 0 gcc_dir)
set(CMAKE_CXX_FLAGS_INIT
  "-isystem ${gcc_dir}/include/c++ -isystem ${gcc_dir}/include/c++/${triple} -isystem ${gcc_dir}/include/c++/backward")
# Its libraries, for the link options in cmake/Toolchain.cmake; the compiler checks
# compile without linking.
set(TESVAR_MINGW_GCC_DIR ${gcc_dir})
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
