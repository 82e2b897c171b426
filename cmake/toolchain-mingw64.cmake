# Cross-building the Windows programs with Debian's MinGW-w64 (x86-64, posix threads).
# Libraries built for Windows (SQLite, GoogleTest) are looked for in QVBOOK_WINDOWS_DEPS,
# the prefix that scripts/cross-deps.sh fills. Programs are linked statically, so that an
# .exe runs alone, on Windows and under Wine, without the compiler's DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw}-windres)

# Try-compiles re-read this file; they need the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QVBOOK_WINDOWS_DEPS QVBOOK_WINE_RUNNER)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw})
if(QVBOOK_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${QVBOOK_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine through this wrapper (CTest and test discovery use it).
if(QVBOOK_WINE_RUNNER)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QVBOOK_WINE_RUNNER})
endif()
