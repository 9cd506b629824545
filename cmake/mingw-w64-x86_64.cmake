# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64-posix,
# libz-mingw-w64-dev). Only the simulator and the libraries under it build this way:
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DROOMDESK_WINDOWS_SIMULATOR=ON
# The programs link statically, so tarnsim.exe runs on a Windows machine without any MinGW DLL.
# With wine64 installed, the tests of that tree run under Wine (ctest uses it as the emulator).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ROOMDESK_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix thread model: std::thread and std::mutex come from winpthreads.
set(CMAKE_C_COMPILER ${ROOMDESK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ROOMDESK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ROOMDESK_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ROOMDESK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No MinGW runtime DLL beside the program: libgcc, libstdc++, winpthreads and zlib go inside.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(ZLIB_USE_STATIC_LIBS ON)

# Wine runs the test programs of the tree, when it is there.
find_program(ROOMDESK_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(ROOMDESK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ROOMDESK_WINE})
endif()
