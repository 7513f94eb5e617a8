# The same code for 64-bit Windows. It runs under 64-bit Wine on machines
# whose kernel does not execute 32-bit programs, so the Win32 adapters are
# still tested for real there.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
