# Shared by the MinGW-w64 toolchain files; expects _triple to be set.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix compilers give std::thread and std::mutex through winpthreads.
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(ULVEX_WIDL ${_triple}-widl CACHE STRING "IDL compiler for the type library")

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# A static exe imports only system DLLs, so it runs in any prefix or on any Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Runs a Windows program in the build's own Wine prefix (made on first use).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/winerun)
