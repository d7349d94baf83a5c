# Cross-building for 64-bit Windows with Debian's mingw-w64. The posix-threads
# compiler, since GoogleTest needs std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# GCC for Windows lets a caller keep values in registers its callee leaves
# alone as compiled in the same file; with templates compiled in many files the
# linker keeps one copy, perhaps one that does use them (Qt's random generator
# broke on a copy of std::mt19937 from the project's code). Everything built
# with this file, Qt too, saves registers as the calling convention says.
set(CMAKE_C_FLAGS_INIT -fno-ipa-ra)
set(CMAKE_CXX_FLAGS_INIT -fno-ipa-ra)
