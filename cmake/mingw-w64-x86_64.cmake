# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers.
#
#   prefix=$(scripts/windows-deps.sh | sed -n 's/^windows-deps: prefix //p')
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DQUESSANTA_WINDEPS="$prefix"
#
# QUESSANTA_WINDEPS (a cache variable, given once with -D) is the prefix that
# scripts/windows-deps.sh built SDL 1.2 and libpng into. OpenGL, GLU and zlib
# come from mingw-w64 itself (-lopengl32 -lglu32, and libz-mingw-w64-dev).
# Programs end up self-contained: no MinGW DLL is needed beside the .exe.

# CMake's Windows platform files, read after this, make find_library prefer
# import libraries (.dll.a), which would tie the program to zlib1.dll or
# libwinpthread-1.dll. This file is read once more after them, as the rules
# override, to put static libraries first.
if(DEFINED CMAKE_FIND_LIBRARY_SUFFIXES)
  set(CMAKE_FIND_LIBRARY_SUFFIXES .a .dll.a .lib)
  return()
endif()
set(CMAKE_USER_MAKE_RULES_OVERRIDE ${CMAKE_CURRENT_LIST_FILE})

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUESSANTA_MINGW x86_64-w64-mingw32)

# The -posix compilers: the default win32 thread model has no std::thread
# or std::mutex.
set(CMAKE_C_COMPILER ${QUESSANTA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUESSANTA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QUESSANTA_MINGW}-windres)

set(QUESSANTA_WINDEPS "" CACHE PATH "Prefix made by scripts/windows-deps.sh")
if(NOT EXISTS "${QUESSANTA_WINDEPS}/include/SDL/SDL.h")
  message(FATAL_ERROR "Set -DQUESSANTA_WINDEPS to the prefix printed by scripts/windows-deps.sh "
    "(now: '${QUESSANTA_WINDEPS}')")
endif()
# try_compile projects read this file again and get only the variables listed.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUESSANTA_WINDEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${QUESSANTA_MINGW} ${QUESSANTA_WINDEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must see the Windows .pc files only, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} "${QUESSANTA_WINDEPS}/lib/pkgconfig:/usr/${QUESSANTA_MINGW}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# libgcc, libstdc++ and winpthread linked in; the system DLLs stay imports.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Lets try_run and CTest start the .exe files. Debian's wine starts 64-bit
# programs with wine64 and has no wine64 command of its own.
find_program(QUESSANTA_WINE wine)
if(QUESSANTA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUESSANTA_WINE})
endif()
