# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (package mingw-w64).
# The POSIX threading flavour of the compilers provides std::thread; everything is linked
# statically so the executables need no MinGW DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZORVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZORVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZORVANE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test executables run under Wine on the build machine.
find_program(ZORVANE_WINE wine)
if(ZORVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZORVANE_WINE})
endif()

# The Windows libraries built by scripts/windows-deps (Qt, libcurl, libsodium, libzstd), given as
# the folder that holds one prefix per library. They are searched like the MinGW system folder.
if(ZORVANE_WINDOWS_DEPS)
  list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZORVANE_WINDOWS_DEPS)
  foreach(dependency qt curl sodium zstd)
    list(APPEND CMAKE_FIND_ROOT_PATH ${ZORVANE_WINDOWS_DEPS}/${dependency})
  endforeach()
endif()
