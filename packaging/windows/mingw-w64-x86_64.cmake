# Cross-compiling for 64-bit Windows with Debian's mingw-w64. The -posix compilers give
# std::thread and std::mutex, which Qt and the project use.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triplet x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

# Libraries built for Windows live under the prefixes of RUKANOBA3_WINDOWS_PREFIXES (Qt and
# the workbook libraries), then Debian's MinGW root; programs run on the build host.
set(CMAKE_FIND_ROOT_PATH $ENV{RUKANOBA3_WINDOWS_PREFIXES} /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests built for Windows run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
