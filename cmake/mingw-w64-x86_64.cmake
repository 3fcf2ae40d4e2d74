# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers (the POSIX
# thread model, which std::thread needs). Programs are linked statically, so
# a built .exe runs on its own, under Wine here or on a Windows PC.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# CTest runs the Windows programs through Wine when it is installed.
find_program(KORVALOG_WINE NAMES wine wine64)
if(KORVALOG_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KORVALOG_WINE})
endif()
