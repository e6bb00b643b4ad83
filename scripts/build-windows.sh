#!/usr/bin/env bash
# The Windows pass, on Debian 12: cross-builds koravel.exe, koravel-cli.exe and the test programs
# with MinGW-w64 against a prebuilt SDK (Qt, QScintilla, libxlsxwriter, zlib, GoogleTest; made by
# scripts/build-windows-sdk.sh), runs the Windows tests under Wine, compares koravel-cli.exe's
# outputs with the Linux build's byte for byte, starts koravel.exe under Wine on a virtual X
# display and takes a picture of it, and leaves the zip and the installer in build-windows/package/.
#   bash scripts/build-windows.sh [SDK]
# SDK: the SDK's folder or its .tar.xz archive; by default $KORAVEL_WINDOWS_SDK, else
# ../shared/windows-sdk/koravel-mingw-sdk.tar.xz beside the repository. Without one the pass is
# skipped with a notice (status 0). KORAVEL_WERROR=ON makes warnings errors; the Linux build
# compared against is build/ (KORAVEL_LINUX_BUILD_DIR), made when missing; the virtual display
# is :85 (KORAVEL_WINE_DISPLAY).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$(date +%s)
sdk=${1:-${KORAVEL_WINDOWS_SDK:-$root/../shared/windows-sdk/koravel-mingw-sdk.tar.xz}}
if [ ! -e "$sdk" ]; then
  echo "Windows: no MinGW SDK at $sdk; the Windows pass is skipped." \
    "Give one as an argument or in KORAVEL_WINDOWS_SDK (scripts/build-windows-sdk.sh makes one)."
  exit 0
fi
sdk=$(realpath "$sdk")
out=$root/build-windows
linux_build=${KORAVEL_LINUX_BUILD_DIR:-build}
display=${KORAVEL_WINE_DISPLAY:-:85}
step() { echo "== Windows: $* ($(($(date +%s) - started)) s)"; }

# --- What the pass needs from Debian ----------------------------------------------------------
bash scripts/setup.sh
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine64 wine qt6-base-dev-tools
  qt6-translations-l10n ninja-build cmake pkg-config nsis zip unzip xvfb xauth imagemagick
  librsvg2-bin xz-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  echo "Instalando: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# --- The SDK: a folder as it is, an archive unpacked once into build-windows/sdk ----------------
mkdir -p "$out"
if [ -d "$sdk" ]; then
  sdk_dir=$sdk
else
  stamp=$(sha256sum "$sdk" | cut -d' ' -f1)
  if [ "$(cat "$out/sdk/.archive" 2>/dev/null)" != "$stamp" ]; then
    step "unpacking $sdk"
    rm -rf "$out/sdk" && mkdir -p "$out/sdk"
    tar -C "$out/sdk" -xJf "$sdk"
    echo "$stamp" >"$out/sdk/.archive"
  fi
  sdk_dir=$(dirname "$(find "$out/sdk" -maxdepth 2 -name mingw.cmake | head -1)")
fi
[ -f "$sdk_dir/lib/libQt6Core.a" ] || { echo "Windows: $sdk_dir is not the MinGW SDK" >&2; exit 1; }

# --- The cross-build ----------------------------------------------------------------------------
step "cross-building into build-windows/"
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
fi
# Another SDK than the one the folder was configured with: the found packages are forgotten.
if [ -f "$out/CMakeCache.txt" ] \
  && ! grep -qx "KORAVEL_WINDOWS_SDK:PATH=$sdk_dir" "$out/CMakeCache.txt"; then
  rm -f "$out/CMakeCache.txt"
fi
cmake -S . -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DKORAVEL_WINDOWS_SDK="$sdk_dir" -DCMAKE_BUILD_TYPE=Release -DKORAVEL_TESTS=ON \
  -DKORAVEL_WERROR="${KORAVEL_WERROR:-OFF}" "${launcher[@]}" >/dev/null
cmake --build "$out" -j "$(nproc)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")

# --- Wine: a prefix of its own, the MinGW runtime and the SDK's DLLs on its path ---------------
export WINEPREFIX=$out/wine WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
# An English regional setting, so that the tests read numbers with a point as on Linux.
export LC_ALL=C.UTF-8 LANG=C.UTF-8
winpath() { echo "Z:${1//\//\\}"; }
gcc_dlls=/usr/lib/gcc/x86_64-w64-mingw32/12-posix
pthread_dlls=/usr/x86_64-w64-mingw32/lib
WINEPATH="$(winpath "$gcc_dlls");$(winpath "$pthread_dlls");$(winpath "$sdk_dir/bin")"
QT_PLUGIN_PATH=$(winpath "$sdk_dir/plugins")
export WINEPATH QT_PLUGIN_PATH
new_prefix=
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "making the Wine prefix"
  wineboot -i >/dev/null 2>&1 || true
  new_prefix=1
fi
# The window tests and the pictures need an X display for Wine's driver, even offscreen.
if [ -z "${DISPLAY:-}" ]; then
  Xvfb "$display" -screen 0 1400x1000x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill "$xvfb_pid" 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
  export DISPLAY=$display
  sleep 1
fi

# --- The Windows tests under Wine ---------------------------------------------------------------
# The first Qt program in a new prefix takes tens of seconds (Wine's fonts, the Portuguese
# regional setting the window tests ask for), enough to upset a window test's timing: one run of
# it, unchecked, readies the prefix.
if [ -n "$new_prefix" ]; then
  LC_ALL=pt_BR.UTF-8 QT_QPA_PLATFORM=offscreen wine "$out/tests/app/main_window_test.exe" \
    >/dev/null 2>&1 || true
fi
# Qt's Portuguese beside the window tests, where the program also looks for it.
mkdir -p "$out/tests/app/translations"
cp /usr/share/qt6/translations/qtbase_pt_BR.qm /usr/share/qt6/translations/qt_pt_BR.qm \
  "$out/tests/app/translations/"
cp /usr/share/qt6/translations/qscintilla_pt_br.qm "$out/tests/app/translations/" 2>/dev/null || true
step "running the Windows tests under Wine"
# A test is run again once when it fails: Wine now and then fails to start a program at all
# (status 1 in a hundredth of a second, no output). A failure of the program itself fails twice.
ctest --test-dir "$out" --output-on-failure -j "$(nproc)" --timeout 600 --repeat until-pass:2

# --- koravel-cli.exe against the Linux build, byte for byte -------------------------------------
step "comparing koravel-cli.exe with the Linux koravel-cli"
linux_cli=$root/$linux_build/src/cli/koravel-cli
if [ ! -x "$linux_cli" ]; then
  [ -f "$linux_build/CMakeCache.txt" ] || cmake -S . -B "$linux_build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$linux_build" --target koravel-cli -j "$(nproc)"
fi
bash scripts/build-windows-compare.sh "$linux_cli" "$out/src/cli/koravel-cli.exe" "$out/compare"

# --- The package: a folder that runs where it is unpacked, zipped, and the installer -------------
step "packaging"
name=koravel-$version-windows-x64
stage=$out/package/$name
rm -rf "$out/package" && mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations" \
  "$stage/exemplos"
cp "$out/src/app/koravel.exe" "$out/src/cli/koravel-cli.exe" "$stage/"
x86_64-w64-mingw32-strip "$stage/koravel.exe" "$stage/koravel-cli.exe"
for dll in Qt6Core Qt6Gui Qt6Widgets Qt6PrintSupport libqscintilla2_qt6; do
  cp "$sdk_dir/bin/$dll.dll" "$stage/"
done
cp "$gcc_dlls/libstdc++-6.dll" "$gcc_dlls/libgcc_s_seh-1.dll" "$pthread_dlls/libwinpthread-1.dll" \
  "$stage/"
cp "$sdk_dir/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$sdk_dir/plugins/styles/"*.dll "$stage/styles/"
cp /usr/share/qt6/translations/qtbase_pt_BR.qm /usr/share/qt6/translations/qt_pt_BR.qm \
  "$stage/translations/"
cp /usr/share/qt6/translations/qscintilla_pt_br.qm "$stage/translations/" 2>/dev/null || true
for f in examples/*.txt examples/*.md; do
  # The examples keep their line ends; the notes get Windows's.
  case $f in
  *.md) sed 's/\r\?$/\r/' "$f" >"$stage/exemplos/$(basename "$f" .md).txt" ;;
  *) cp "$f" "$stage/exemplos/" ;;
  esac
done
sed "s/@VERSION@/$version/" packaging/windows/LEIA-ME.txt | sed 's/\r\?$/\r/' >"$stage/LEIA-ME.txt"
for s in 16 32 48 64 256; do
  rsvg-convert -w "$s" -h "$s" packaging/koravel.svg -o "$out/package/icon-$s.png"
done
convert "$out/package"/icon-{16,32,48,64,256}.png "$stage/koravel.ico"
rm -f "$out/package"/icon-*.png

# Every DLL the programs and plugins ask for is either in the folder or part of Windows.
needed=$(for f in "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll; do
  x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p'
done | sort -uf)
# Part of Windows: what Wine brings in its place.
system_dlls=$(ls "$WINEPREFIX/drive_c/windows/system32/" /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/)
for dll in $needed; do
  case $dll in api-ms-win-*) continue ;; esac # API sets, which Windows answers itself
  if [ ! -e "$stage/$dll" ] && ! grep -qix "$dll" <<<"$system_dlls"; then
    echo "Windows: the package lacks $dll" >&2
    exit 1
  fi
done

(cd "$out/package" && zip -qr9 "$name.zip" "$name")
# The uninstaller removes what the installer put there, and nothing else.
{
  (cd "$stage" && find . -type f | sort | sed 's#^\./##; s#/#\\#g; s#.*#  Delete "$INSTDIR\\&"#')
  (cd "$stage" && find . -mindepth 1 -type d | sort -r | sed 's#^\./##; s#/#\\#g; s#.*#  RMDir "$INSTDIR\\&"#')
} >"$out/package/files.nsh"
makensis -V2 -DVERSION="$version" -DSOURCE="$stage" -DFILELIST="$out/package/files.nsh" \
  -DOUTFILE="$out/package/koravel-$version-setup.exe" packaging/windows/koravel.nsi

# --- The installer and the program under Wine -----------------------------------------------------
step "installing under Wine, starting koravel.exe and taking its picture"
# Without the build's folders on the path, so that the installed folder must be enough.
saved_winepath=$WINEPATH
unset WINEPATH QT_PLUGIN_PATH
wine "$out/package/koravel-$version-setup.exe" /S
installed="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Programs/Koravel"
[ -f "$installed/koravel.exe" ] || installed=$(dirname "$(find "$WINEPREFIX/drive_c/users" -path '*Programs/Koravel/koravel.exe' | head -1)")
[ -f "$installed/koravel.exe" ] || { echo "Windows: the installer put no koravel.exe in place" >&2; exit 1; }
[ "$(wine "$installed/koravel-cli.exe" --version)" = "koravel-cli $version" ]
find "$WINEPREFIX/drive_c/users" -name 'Koravel.lnk' | grep -q . \
  || { echo "Windows: no Start-menu entry" >&2; exit 1; }

mkdir -p "$out/screenshots"
wine "$installed/koravel.exe" >/dev/null 2>&1 &
sleep 12
import -display "$DISPLAY" -window root "$out/screenshots/koravel-wine.png"
wineserver -k 2>/dev/null || true
wine "$installed/uninstall.exe" /S
sleep 2
if [ -e "$installed/koravel.exe" ]; then
  echo "Windows: the uninstaller left koravel.exe" >&2
  exit 1
fi
export WINEPATH=$saved_winepath
# The three windows in a scripted session, as scripts/screenshots.sh takes them on Linux.
wine "$out/src/app/koravel-screenshots.exe" "$(winpath "$out/screenshots")" \
  "$(winpath "$root/examples/griffing56_maize.txt")" 9 >/dev/null 2>&1 \
  || echo "Windows: koravel-screenshots.exe did not finish under Wine"

step "done"
ls -l "$out/package/$name.zip" "$out/package/koravel-$version-setup.exe" "$out/screenshots"
