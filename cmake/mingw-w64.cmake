# Cross-building Koravel for Windows x86-64 on Debian 12 with MinGW-w64 (g++-mingw-w64-x86-64-posix:
# GCC 12, POSIX threads, 80-bit long double) against a prebuilt SDK of Qt, QScintilla,
# libxlsxwriter, zlib and GoogleTest (scripts/build-windows-sdk.sh makes one):
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DKORAVEL_WINDOWS_SDK=/path/to/koravel-mingw-sdk
# Qt's host tools (moc, uic, rcc) come from Debian's qt6-base-dev-tools, of the same version.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT KORAVEL_WINDOWS_SDK AND DEFINED ENV{KORAVEL_WINDOWS_SDK})
  set(KORAVEL_WINDOWS_SDK "$ENV{KORAVEL_WINDOWS_SDK}")
endif()
if(NOT KORAVEL_WINDOWS_SDK OR NOT EXISTS "${KORAVEL_WINDOWS_SDK}/lib")
  message(FATAL_ERROR "Set KORAVEL_WINDOWS_SDK to the folder of the unpacked MinGW SDK")
endif()
# The try-compile projects of the configure step see it too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KORAVEL_WINDOWS_SDK)
set(KORAVEL_WINDOWS_SDK "${KORAVEL_WINDOWS_SDK}" CACHE PATH "The unpacked MinGW SDK")

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "${KORAVEL_WINDOWS_SDK}")
set(CMAKE_PREFIX_PATH "${KORAVEL_WINDOWS_SDK}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
# libxlsxwriter through pkg-config: the SDK's files only.
set(ENV{PKG_CONFIG_LIBDIR} "${KORAVEL_WINDOWS_SDK}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
# Tests run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
# The test programs are asked for their tests when CTest runs, under Wine, not while building.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
