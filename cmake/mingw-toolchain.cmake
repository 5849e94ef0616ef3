# Cross-compiling for Windows with Debian's MinGW-w64 compilers, posix thread
# model (the win32 model lacks std::mutex, which GoogleTest needs).
# MPX_MINGW_ARCH: i686 (the 32-bit DLL, default) or x86_64.
# Programs run under Wine through tools/wine_run.sh (see there).
set(MPX_MINGW_ARCH i686 CACHE STRING "MinGW-w64 target: i686 or x86_64")
set(mpx_triple ${MPX_MINGW_ARCH}-w64-mingw32)

set(CMAKE_SYSTEM_NAME Windows)
if(MPX_MINGW_ARCH STREQUAL "i686")
    set(CMAKE_SYSTEM_PROCESSOR x86)
else()
    set(CMAKE_SYSTEM_PROCESSOR AMD64)
endif()
set(CMAKE_C_COMPILER ${mpx_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mpx_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${mpx_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${mpx_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Doubles in SSE2 registers, as on x86_64 (and as MSVC compiles for 32-bit
# Windows): the x87 unit's 80-bit intermediates would round results
# differently from the other targets. Windows keeps the stack only 4-byte
# aligned at entry, so functions realign it where SSE needs 16.
if(MPX_MINGW_ARCH STREQUAL "i686")
    set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
    set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
endif()

# The runtime libraries (libgcc, libstdc++, winpthread) are linked in, so
# mpxlib.dll and the programs need nothing beside them but system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine_run.sh ${MPX_MINGW_ARCH})
