#!/usr/bin/env bash
# Builds Koravel's screenshot program if needed and writes PNG pictures of the windows, after
# importing an example and running both predictions, under a virtual X display; the diallel
# analysis (analise_dialelica.png) is shown with invented names of the lines.
#   bash scripts/screenshots.sh [FOLDER] [DATA_FILE] [LINES]
# Defaults: screenshots/, examples/griffing56_maize.txt, 9 lines. The build folder is build/
# unless KORAVEL_BUILD_DIR names another.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-screenshots}
data=${2:-examples/griffing56_maize.txt}
lines=${3:-9}
build_dir=${KORAVEL_BUILD_DIR:-build}

if ! command -v xvfb-run >/dev/null 2>&1; then
  bash scripts/setup.sh
fi
if [ -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" -DKORAVEL_GUI=ON >/dev/null
else
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKORAVEL_GUI=ON >/dev/null
fi
cmake --build "$build_dir" --target koravel-screenshots -j "$(nproc)"

mkdir -p "$folder"
xvfb-run -a -s "-screen 0 1280x900x24" \
  "$build_dir/src/app/koravel-screenshots" "$folder" "$data" "$lines"
