#!/usr/bin/env bash
# Installs what is missing, builds Koravel and starts it. Without a display it runs the command
# line front end on a bundled example and prints its report.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh -DKORAVEL_TESTS=OFF

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/src/app/koravel ]; then
  exec build/src/app/koravel
fi

echo "Koravel: nenhuma tela disponível (DISPLAY e WAYLAND_DISPLAY vazios)." >&2
echo "Executando koravel-cli com examples/griffing56_maize.txt (9 linhagens, HD):" >&2
# The report is single-byte Western European text; the terminal speaks UTF-8.
build/src/cli/koravel-cli hd examples/griffing56_maize.txt --lines 9 --reciprocals nao \
  | iconv -f ISO-8859-1 -t UTF-8
