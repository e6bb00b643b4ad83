#!/usr/bin/env bash
# Builds Koravel's screenshot program if needed and writes PNG pictures of the windows, after
# importing an example and running both predictions, under a virtual X display of 1400 x 1000,
# and of the first page of the printed report; the diallel analysis (analise_dialelica.png) is
# shown with invented names of the lines.
# When openbox is installed it manages the windows, so that tela.png shows their title bars
# and their places as a window manager gives them.
#   bash scripts/screenshots.sh [FOLDER] [DATA_FILE] [LINES]
# Defaults: screenshots/, examples/griffing56_maize.txt, 9 lines. The build folder is build/
# unless KORAVEL_BUILD_DIR names another.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-screenshots}
data=${2:-examples/griffing56_maize.txt}
lines=${3:-9}
build_dir=${KORAVEL_BUILD_DIR:-build}

if ! command -v xvfb-run >/dev/null 2>&1 || ! command -v pdftoppm >/dev/null 2>&1; then
  bash scripts/setup.sh
fi
if [ -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" -DKORAVEL_GUI=ON >/dev/null
else
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKORAVEL_GUI=ON >/dev/null
fi
cmake --build "$build_dir" --target koravel-screenshots -j "$(nproc)"

mkdir -p "$folder"
# The window manager, when there is one, starts before the windows and ends with them.
xvfb-run -a -s "-screen 0 1400x1000x24" bash -c '
  wm=
  if command -v openbox >/dev/null 2>&1; then
    openbox >/dev/null 2>&1 &
    wm=$!
    sleep 1
  fi
  status=0
  "$@" || status=$?
  [ -z "$wm" ] || kill "$wm"
  exit "$status"
' screenshots "$build_dir/src/app/koravel-screenshots" "$folder" "$data" "$lines"
pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$folder/relatorio_impresso.pdf" "$folder/relatorio_impresso"
echo "gravado $folder/relatorio_impresso.png"
