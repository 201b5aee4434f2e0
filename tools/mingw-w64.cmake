# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads, as
# the core uses std::thread). Programs are linked statically so that they
# run under Wine or on a bare Windows machine without the compiler's DLLs.
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=tools/mingw-w64.cmake -DPAINTWELL_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PAINTWELL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PAINTWELL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PAINTWELL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PAINTWELL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PAINTWELL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# zlib's import library would need zlib1.dll beside every program.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Lets CMake and CTest run the built programs (tests, demo maker) on Linux.
find_program(PAINTWELL_WINE NAMES wine wine64)
if(PAINTWELL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PAINTWELL_WINE})
endif()
