#!/usr/bin/env bash
# Builds Koravel's Debian package with CPack and checks it: its control fields and files, that
# its Depends covers what dpkg-shlibdeps finds in the programs, and that the programs unpacked
# into a scratch root run with no source tree around: koravel-cli gives on an installed example
# the same bytes as the koravel-cli of the build, and koravel starts under a virtual display.
#   bash scripts/package.sh                         a Release build in build-package/
#   KORAVEL_BUILD_DIR=build bash scripts/package.sh  reuses a Release build with the windows
#   KORAVEL_APT_INSTALL=1 bash scripts/package.sh    as root: also installs the package with
#                                                    apt-get, runs it from /usr and removes it
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${KORAVEL_BUILD_DIR:-build-package}
fail() { echo "package.sh: $*" >&2; exit 1; }
bash scripts/setup.sh

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKORAVEL_TESTS=OFF >/dev/null
fi
cache_value() { sed -n "s/^$1:[A-Z]*=//p" "$build_dir/CMakeCache.txt"; }
if [ "$(cache_value CMAKE_BUILD_TYPE)" != Release ] || [ "$(cache_value KORAVEL_GUI)" != ON ] \
  || [ "$(cache_value KORAVEL_SANITIZE)" = ON ]; then
  fail "$build_dir is not a Release build with the windows and without sanitizers"
fi
cmake --build "$build_dir" -j "$(nproc)"

build_abs=$(cd "$build_dir" && pwd)
version=$(sed -n 's/^project(Koravel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt"
out="$build_dir/package"
rm -rf "$out"
cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
debs=("$out"/koravel_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  fail "no single .deb in $out"
fi
deb=${debs[0]}

work=$(mktemp -d "${TMPDIR:-/tmp}/koravel-package.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Control fields.
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = koravel ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$version-1" ] || fail "Version is $(field Version), not $version-1"
[ "$(field Section)" = science ] || fail "Section is $(field Section)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is wrong"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
grep -q 'Koravel prediz' <<<"$(field Description)" || fail "the description has no Portuguese part"
depends=$(field Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqscintilla2-qt6-15 \
  libxlsxwriter4 qt6-translations-l10n libqscintilla2-qt6-l10n; do
  grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done

# Files: every one of these, and nothing outside /usr.
dpkg-deb --contents "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||' | sort > "$work/contents"
expected=(
  /usr/bin/koravel /usr/bin/koravel-cli
  /usr/share/applications/koravel.desktop
  /usr/share/icons/hicolor/scalable/apps/koravel.svg
  /usr/share/man/man1/koravel-cli.1.gz
  /usr/share/doc/koravel/examples/README.md
)
for example in examples/*.txt; do
  expected+=("/usr/share/doc/koravel/examples/$(basename "$example")")
done
for path in "${expected[@]}"; do
  grep -qxF "$path" "$work/contents" || fail "the package lacks $path"
done
if grep -v -e '^/usr$' -e '^/usr/' -e '^$' "$work/contents"; then
  fail "the package has files outside /usr"
fi

# Unpacked into a scratch root.
scratch="$work/root"
dpkg-deb -x "$deb" "$scratch"
desktop-file-validate "$scratch/usr/share/applications/koravel.desktop"
if grep -lF "$root" "$scratch/usr/bin/koravel" "$scratch/usr/bin/koravel-cli"; then
  fail "a program names the source folder $root"
fi

# The manual page names every option of koravel-cli --help.
gzip -dc "$scratch/usr/share/man/man1/koravel-cli.1.gz" > "$work/koravel-cli.1"
"$scratch/usr/bin/koravel-cli" --help | grep -oE '^  (-h, )?--[a-z-]+' | grep -oE -- '--[a-z-]+' \
  > "$work/options"
[ "$(wc -l < "$work/options")" -ge 5 ] || fail "koravel-cli --help names too few options"
while read -r option; do
  grep -qF -- "${option//-/\\-}" "$work/koravel-cli.1" || fail "the manual page lacks $option"
done < "$work/options"

# Depends must cover every library package dpkg-shlibdeps finds, at a version at least as new.
mkdir -p "$work/shlibs/debian"
touch "$work/shlibs/debian/control"
(cd "$work/shlibs" && dpkg-shlibdeps -O "$scratch/usr/bin/koravel" "$scratch/usr/bin/koravel-cli" \
  2>/dev/null) | sed 's/^shlibs:Depends=//' | tr ',' '\n' | sed 's/^ *//' > "$work/needed"
[ -s "$work/needed" ] || fail "dpkg-shlibdeps found nothing"
while read -r package relation; do
  ours=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//' | awk -v p="$package" '$1 == p')
  [ -n "$ours" ] || fail "Depends lacks $package, which the programs link"
  needed_version=$(sed -n 's/^(>= \(.*\))$/\1/p' <<<"$relation")
  our_version=$(sed -n 's/^[^ ]* (>= \(.*\))$/\1/p' <<<"$ours")
  if [ -n "$needed_version" ] && ! { [ -n "$our_version" ] \
    && dpkg --compare-versions "$our_version" ge "$needed_version"; }; then
    fail "Depends has \"$ours\"; the programs need $package (>= $needed_version)"
  fi
done < "$work/needed"

# The installed koravel-cli, run from outside the source tree, against the built one.
check_cli() { # the koravel-cli to check
  local cli=$1 examples=$2
  [ "$(cd / && "$cli" --version)" = "koravel-cli $version" ] || fail "$cli --version is wrong"
  local runs=(
    "hd griffing56_maize.txt --lines 9 --reciprocals nao"
    "ht dialelo_incompleto.txt --lines 7 --reciprocals nao --clean"
    "hd dialelo_virgula.txt --lines 5 --reciprocals nao --decimal-separator ,"
  )
  for run in "${runs[@]}"; do
    read -r -a words <<<"$run"
    (cd "$examples" && LC_ALL=C "$cli" "${words[@]}") > "$work/installed.txt"
    (cd "$root/examples" && LC_ALL=C "$build_abs/src/cli/koravel-cli" "${words[@]}") \
      > "$work/built.txt"
    [ -s "$work/built.txt" ] || fail "the built koravel-cli wrote nothing for: $run"
    cmp -s "$work/installed.txt" "$work/built.txt" || fail "$cli differs from the build on: $run"
  done
}
check_cli "$scratch/usr/bin/koravel-cli" "$scratch/usr/share/doc/koravel/examples"

# The installed desktop program starts and keeps running until it is stopped. A missing
# library, plugin or file would end it at once.
check_gui() { # the koravel to start
  local status=0
  (cd / && HOME="$work" xvfb-run -a timeout 4 "$1") >"$work/gui.log" 2>&1 || status=$?
  [ "$status" -eq 124 ] || { cat "$work/gui.log" >&2; fail "$1 ended with status $status"; }
}
check_gui "$scratch/usr/bin/koravel"

if [ "${KORAVEL_APT_INSTALL:-0}" = 1 ] && [ "$(id -u)" -eq 0 ]; then
  if [ "$(dpkg-query -W -f='${Status}' koravel 2>/dev/null)" = "install ok installed" ]; then
    fail "koravel is already installed here; remove it first or leave KORAVEL_APT_INSTALL unset"
  fi
  trap 'dpkg --purge koravel >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
  if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "$(readlink -f "$deb")" >"$work/apt.log" 2>&1; then
    cat "$work/apt.log" >&2
    fail "apt-get could not install $deb"
  fi
  check_cli /usr/bin/koravel-cli /usr/share/doc/koravel/examples
  check_gui /usr/bin/koravel
  echo "Installed with apt-get and checked from /usr; removed again."
fi

echo "$(basename "$deb"): $(du -k "$deb" | cut -f1) KB, Depends: $depends"
