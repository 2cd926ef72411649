# Cross build for 64-bit Windows with the mingw-w64 compilers (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(HK_TRIPLE x86_64-w64-mingw32)
set(HK_WINEARCH win64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
