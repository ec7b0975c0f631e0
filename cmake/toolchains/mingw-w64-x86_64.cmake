# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix, the
# POSIX thread model that std::thread and std::mutex need). tlxvl.dll, brixvl.dll, the demo
# host and the test programs all land in <build>/bin, beside the compiler's runtime DLLs, so
# that Windows (or Wine) finds every DLL in the program's own directory.
#   cmake --preset windows && cmake --build --preset windows
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TLXVL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TLXVL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TLXVL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TLXVL_MINGW_TRIPLE}-windres)

# Libraries, headers and packages of the target only; programs of the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TLXVL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# GoogleTest for the target is built from Debian's googletest sources by this same compiler.
set(TLXVL_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources built with the project")

# Programs and DLLs share one directory, where the build also copies the compiler's runtime
# DLLs (CMakeLists.txt): Windows looks for a program's DLLs beside it first.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# ctest runs the test programs under Wine when it is installed (.ci/windows runs them directly:
# one Wine start per program rather than per test).
find_program(TLXVL_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TLXVL_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TLXVL_WINE64})
endif()
