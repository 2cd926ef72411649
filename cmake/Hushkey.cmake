# Build conventions shared by every folder of the project.
#
#   hk_library(name SOURCES ... [LIBS ...])        portable static library (all builds)
#   hk_win32_library(name SOURCES ... [LIBS ...])  Win32 adapter library (Windows builds only)
#   hk_unit_test(name SOURCES ... [LIBS ...])      native GoogleTest program, run by ctest
#   hk_win_test(name SOURCES ... [LIBS ...] [NO_MAIN])
#                                                  Windows GoogleTest program, run by ctest
#                                                  (under Wine when cross-built; Windows
#                                                  builds only)
#   hk_benchmark(name SOURCES ... [LIBS ...])      Google Benchmark program (native only)
#
# A Windows build is any build whose target is Windows: the mingw-w64 cross builds from
# Debian (cmake/toolchain-mingw-*.cmake), or a build on a Windows host with MinGW (MSYS2) or
# Visual Studio. Every other build is native: the portable libraries and their unit tests.

# Warnings by compiler: MSVC (and clang-cl) take /W4, where -Wall would mean every warning
# there is; /utf-8 reads the sources as what they are (UTF-8) rather than in the code page.
if(MSVC)
  set(HK_WARNINGS /W4)
  add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:/utf-8>)
else()
  set(HK_WARNINGS -Wall -Wextra)
endif()

if(WIN32)
  set(HK_WINDOWS ON)
  # Static C and C++ runtimes: the binaries need no DLL beyond those of Windows itself.
  if(MSVC)
    set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  else()
    add_link_options(-static -static-libgcc -static-libstdc++)
  endif()
  # Programs, the control library and the test programs side by side, as installed.
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  if(CMAKE_CROSSCOMPILING)
    # ctest starts every test program through Wine, with one prefix per build folder. The
    # toolchain files name the Wine architecture; any other Windows toolchain gets it from
    # the pointer size.
    if(NOT HK_WINEARCH)
      if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(HK_WINEARCH win32)
      else()
        set(HK_WINEARCH win64)
      endif()
    endif()
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${CMAKE_SOURCE_DIR}/scripts/wine-exec ${HK_WINEARCH} ${CMAKE_BINARY_DIR}/wineprefix)
  endif()
else()
  set(HK_WINDOWS OFF)
endif()

# GoogleTest, in this order:
#  1. a source tree built along with the project (HK_GTEST_SOURCE; Debian's googletest
#     package puts one in /usr/src/googletest). The Windows builds take this first: a
#     library built with the project's own compiler and runtime always links.
#  2. an installed GoogleTest (find_package), which the native builds take first;
#  3. otherwise the release below, downloaded at configure time (FetchContent).
# -DHK_GTEST_SOURCE=OFF skips the source tree.
set(HK_GTEST_URL https://github.com/google/googletest/archive/refs/tags/v1.14.0.tar.gz)
set(HK_GTEST_SHA256 8ad598c73ad796e0d8280b082cebd82a630d73e73cd3c70057938a6501bba5d7)

macro(_hk_gtest_options)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  if(HK_WINDOWS)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  endif()
endmacro()

macro(_hk_gtest_quiet)
  foreach(t gtest gtest_main gmock gmock_main)
    if(MSVC)
      target_compile_options(${t} PRIVATE /w)
    else()
      target_compile_options(${t} PRIVATE -w)
    endif()
  endforeach()
endmacro()

macro(_hk_fetch_gtest)
  message(STATUS "GoogleTest not found: fetching ${HK_GTEST_URL}")
  include(FetchContent)
  if(POLICY CMP0135)
    cmake_policy(SET CMP0135 NEW)  # files extracted now count as new
  endif()
  _hk_gtest_options()
  FetchContent_Declare(googletest URL ${HK_GTEST_URL} URL_HASH SHA256=${HK_GTEST_SHA256})
  FetchContent_MakeAvailable(googletest)
  _hk_gtest_quiet()
endmacro()

macro(hk_setup_test_frameworks)
  if(HK_WINDOWS)
    find_path(HK_GTEST_SOURCE NAMES googlemock/CMakeLists.txt
              HINTS /usr/src/googletest NO_CMAKE_FIND_ROOT_PATH
              DOC "GoogleTest source tree, built along with the project")
    if(HK_GTEST_SOURCE)
      _hk_gtest_options()
      add_subdirectory(${HK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
      _hk_gtest_quiet()
    else()
      find_package(GTest QUIET)
      if(NOT GTest_FOUND)
        _hk_fetch_gtest()
      endif()
    endif()
  else()
    find_package(GTest QUIET)
    if(NOT GTest_FOUND)
      _hk_fetch_gtest()
    endif()
    find_package(benchmark QUIET)
    include(GoogleTest)
  endif()
endmacro()

function(_hk_target_defaults target)
  target_compile_options(${target} PRIVATE ${HK_WARNINGS})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()

function(hk_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  _hk_target_defaults(${name})
  if(A_LIBS)
    target_link_libraries(${name} PUBLIC ${A_LIBS})
  endif()
endfunction()

function(hk_win32_library name)
  if(NOT HK_WINDOWS)
    return()
  endif()
  hk_library(${name} ${ARGN})
endfunction()

function(hk_unit_test name)
  if(HK_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  _hk_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
endfunction()

function(hk_win_test name)
  if(NOT HK_WINDOWS)
    return()
  endif()
  cmake_parse_arguments(A "NO_MAIN" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  _hk_target_defaults(${name})
  if(A_NO_MAIN)
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest)
  else()
    target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gmock GTest::gtest_main)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  # Windows-side tests share one desktop and one input queue: never run two at once.
  set_tests_properties(${name} PROPERTIES RUN_SERIAL ON TIMEOUT ${A_TIMEOUT})
endfunction()

function(hk_benchmark name)
  if(HK_WINDOWS OR NOT TARGET benchmark::benchmark)
    return()
  endif()
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  _hk_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${A_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()
