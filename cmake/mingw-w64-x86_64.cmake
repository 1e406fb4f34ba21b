# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix threads). The C++ and GCC
# runtimes are linked in statically, so the programs run without DLLs beside them.
#
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_tamsel_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_tamsel_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_tamsel_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_tamsel_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_tamsel_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# winpthread too, which the posix flavour's std::thread needs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs are run under wine when there is one; ctest and gtest_discover_tests
# use this.
find_program(TAMSEL_WINE NAMES wine wine64)
if(TAMSEL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TAMSEL_WINE})
endif()
