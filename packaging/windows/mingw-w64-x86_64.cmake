# Cross-builds for 64-bit Windows with Debian's mingw-w64 (POSIX threads, for
# std::thread), linking everything statically so that the program runs
# without DLLs beside it. MORVANE_WINDOWS_PREFIX names the folder the
# libraries were installed into (scripts/build-windows.sh sets it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MinGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MinGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MinGW}-g++-posix)
set(CMAKE_RC_COMPILER ${MinGW}-windres)
set(CMAKE_AR ${MinGW}-gcc-ar-posix)
set(CMAKE_RANLIB ${MinGW}-gcc-ranlib-posix)

# The try-compiles of the libraries' builds see the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MORVANE_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${MinGW} ${MORVANE_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the cross-built libraries' files alone, with what a static
# link needs beyond the library itself (zlib under libzip).
if(MORVANE_WINDOWS_PREFIX)
    set(ENV{PKG_CONFIG_LIBDIR} ${MORVANE_WINDOWS_PREFIX}/lib/pkgconfig)
    set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
    set(PKG_CONFIG_ARGN --static)
endif()

# The libraries' headers declare their functions as DLL imports unless told
# that they are linked statically.
set(CMAKE_C_FLAGS_INIT "-DXML_STATIC -DZIP_STATIC")
set(CMAKE_CXX_FLAGS_INIT "-DXML_STATIC -DZIP_STATIC")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
