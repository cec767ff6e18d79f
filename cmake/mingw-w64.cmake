# Cross-building the whole stack for Windows (x86-64) with Debian's mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QXT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QXT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QXT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QXT_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QXT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The runtime libraries go into the programs and libraries, so that they run from their folder
# (under Wine as on Windows) without the compiler's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static")
# A library that exports all its symbols (the stand-ins) keeps the runtime's own symbols to
# itself, so that each module links its runtime without clashes.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -static -Wl,--exclude-libs,ALL")
