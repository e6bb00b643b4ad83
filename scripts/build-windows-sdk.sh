#!/usr/bin/env bash
# Builds the MinGW-w64 (x86-64, POSIX threads) SDK that the Windows build of Koravel links against, from
# Debian 12's own source packages: Qt 6.4.2 qtbase (Core, Gui, Widgets, PrintSupport, Test; bundled zlib,
# PCRE2, HarfBuzz, FreeType, libpng, libjpeg; no network, SQL, D-Bus, OpenGL), QScintilla 2.13.3,
# libxlsxwriter 1.1.4 (static), zlib 1.2.13 (static), GoogleTest 1.12.1 (static).
#   bash scripts/build-windows-sdk.sh PREFIX [WORKDIR]   about an hour on two cores; needs root for apt-get
# Result: PREFIX/{bin,lib,include,plugins,...} and PREFIX/mingw.cmake; then
#   tar -C "$(dirname PREFIX)" -cJf koravel-mingw-sdk.tar.xz "$(basename PREFIX)"
# gives the archive that scripts/build-windows.sh takes (or give it PREFIX itself). Keep PREFIX and
# WORKDIR outside the source tree. CI does not run this: it uses the same SDK prebuilt.
set -euo pipefail
prefix=$(realpath -m "${1:?usage: build-windows-sdk.sh PREFIX [WORKDIR]}"); work=$(realpath -m "${2:-/tmp/koravel-sdk-src}")
mkdir -p "$prefix" "$work"; cd "$work"

apt-get install -y --no-install-recommends g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix \
  ninja-build cmake qt6-base-dev-tools qt6-base-dev dpkg-dev >/dev/null
if ! apt-get source --download-only qt6-base >/dev/null 2>&1; then   # source lines are off by default
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >/etc/apt/sources.list.d/koravel-src.sources
  apt-get update >/dev/null
fi
for p in qt6-base qscintilla2 libxlsxwriter zlib googletest; do apt-get source --download-only "$p" >/dev/null; done

cat >"$prefix/mingw.cmake" <<TC
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 \${CMAKE_CURRENT_LIST_DIR})
set(CMAKE_PREFIX_PATH \${CMAKE_CURRENT_LIST_DIR})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
TC
tc=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release)

# zlib: Debian's source drops win32/, so only the static library is built and installed by hand.
tar xjf zlib_*.orig.tar.bz2
cmake -S zlib-*/ -B b-zlib "${tc[@]}" >/dev/null && cmake --build b-zlib --target zlibstatic >/dev/null
mkdir -p "$prefix/lib" "$prefix/include"
cp b-zlib/libzlibstatic.a "$prefix/lib/libz.a"; cp zlib-*/zlib.h b-zlib/zconf.h "$prefix/include/"

tar xzf libxlsxwriter_*.orig.tar.gz
cmake -S libxlsxwriter-*/ -B b-xlsx "${tc[@]}" -DBUILD_SHARED_LIBS=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" \
  -DZLIB_INCLUDE_DIR="$prefix/include" >/dev/null
cmake --build b-xlsx >/dev/null && cmake --install b-xlsx >/dev/null

tar xzf googletest_*.orig.tar.gz
cmake -S googletest-*/ -B b-gtest "${tc[@]}" >/dev/null && cmake --build b-gtest >/dev/null && cmake --install b-gtest >/dev/null

tar xJf qt6-base_*.orig.tar.xz
# Debian's source drops the Wintab header (so no tablet events), and the Windows plugin of 6.4.2 reaches
# for the OpenGL context under dynamicgl even when OpenGL is off: guard it.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
  qtbase-everywhere-src-*/src/plugins/platforms/windows/qwindowswindow.cpp
cmake -S qtbase-everywhere-src-*/ -B b-qt "${tc[@]}" -DQT_QMAKE_TARGET_MKSPEC=win32-g++ -DFEATURE_tabletevent=OFF \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
  -DFEATURE_opengl=OFF -DFEATURE_concurrent=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF \
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_doubleconversion=OFF >b-qt.log
cmake --build b-qt --parallel "$(nproc)" >>b-qt.log && cmake --install b-qt >>b-qt.log

# QScintilla: its qmake project does not cross-build; the same sources and definitions through CMake.
tar xzf qscintilla2_*.orig.tar.gz; q=$(ls -d qscintilla2-*/ | head -1)
list() { python3 - "$q/src/qscintilla.pro" "$1" <<'PY'
import re, sys
s = open(sys.argv[1]).read()
m = re.search(r'^' + sys.argv[2] + r'\s*=\s*\\\n((?:.*\\\n)*.*)', s, re.M)
print('\n'.join('  src/' + x.strip().rstrip('\\').strip() for x in m.group(1).split('\n') if x.strip().rstrip('\\').strip()))
PY
}
{ echo 'cmake_minimum_required(VERSION 3.20)'; echo 'project(qscintilla2 CXX)'
  echo 'find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport)'; echo 'set(CMAKE_AUTOMOC ON)'
  echo 'set(CMAKE_CXX_STANDARD 17)'; echo 'add_library(qscintilla2_qt6 SHARED'; list SOURCES; list HEADERS; echo ')'
  echo 'target_include_directories(qscintilla2_qt6 PRIVATE src scintilla/include scintilla/lexlib scintilla/src)'
  echo 'target_compile_definitions(qscintilla2_qt6 PRIVATE QSCINTILLA_MAKE_DLL SCINTILLA_QT SCI_LEXER INCLUDE_DEPRECATED_FEATURES)'
  echo 'target_link_libraries(qscintilla2_qt6 PUBLIC Qt6::Widgets Qt6::PrintSupport)'
  echo 'install(TARGETS qscintilla2_qt6 RUNTIME DESTINATION bin LIBRARY DESTINATION lib ARCHIVE DESTINATION lib)'
  echo 'install(DIRECTORY src/Qsci DESTINATION include)'; } >"$q/CMakeLists.txt"
cmake -S "$q" -B b-qsci "${tc[@]}" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build b-qsci >/dev/null && cmake --install b-qsci >/dev/null
for f in "$prefix"/lib/pkgconfig/*.pc; do sed -i 's#^prefix=.*#prefix=${pcfiledir}/../..#' "$f"; done   # relocatable
rm -rf "$prefix/doc"
echo "SDK in $prefix (toolchain file $prefix/mingw.cmake)"
