#!/usr/bin/env bash
# Installs what Koravel needs to build, test and run on Debian 12. Safe to run again: it only
# calls apt-get when a package is missing.
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev libgl-dev libqscintilla2-qt6-dev
  qt6-translations-l10n libqscintilla2-qt6-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  libxlsxwriter-dev zlib1g-dev unzip
  xvfb xauth poppler-utils fonts-dejavu-core fonts-liberation2 locales
  dpkg-dev desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# A Brazilian locale (decimal comma) for the tests that read the user's regional settings.
have_locale() { locale -a 2>/dev/null | grep -qi '^pt_BR\.utf-\?8$'; }

if [ ${#missing[@]} -eq 0 ] && have_locale; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
elif [ ${#missing[@]} -gt 0 ]; then
  echo "Koravel: é preciso ser root (ou ter sudo) para instalar: ${missing[*]}" >&2
  exit 1
else
  exit 0 # only the test locale is missing; its tests skip without it
fi
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  echo "Instalando: ${missing[*]}"
  "${as_root[@]}" apt-get update -q
  "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if ! have_locale; then
  "${as_root[@]}" localedef -i pt_BR -c -f UTF-8 -A /usr/share/locale/locale.alias pt_BR.UTF-8 || true
fi
