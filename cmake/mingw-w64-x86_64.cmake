# Cross build for 64-bit Windows with the mingw-w64 compilers (POSIX thread model).
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PSW_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PSW_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PSW_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PSW_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PSW_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Header-only packages of the host (CLI11, nlohmann-json) serve the cross build as they are.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Programs run under Wine (ctest, try_run).
find_program(PSW_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(PSW_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PSW_WINE})
endif()

# The compiler's own runtime (libstdc++, libgcc, winpthread) is linked in, so psw.dll, psw.exe
# and the test programs need nothing beside the system's libraries.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
