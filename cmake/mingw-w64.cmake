# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (POSIX threads).
# QUERVANE_WIN_PREFIXES (a list, from the cache or the environment) names the
# folders of the cross-built libraries: wxMSW, libpng, GoogleTest, JSON.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(quervane_win_host x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${quervane_win_host}-gcc-posix)
set(CMAKE_CXX_COMPILER ${quervane_win_host}-g++-posix)
set(CMAKE_RC_COMPILER ${quervane_win_host}-windres)

if(NOT QUERVANE_WIN_PREFIXES AND DEFINED ENV{QUERVANE_WIN_PREFIXES})
    set(QUERVANE_WIN_PREFIXES "$ENV{QUERVANE_WIN_PREFIXES}")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${quervane_win_host} ${QUERVANE_WIN_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Only system DLLs at run time: the C++ runtime, winpthread, zlib and png
# are linked in.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
