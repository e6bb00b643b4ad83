#!/usr/bin/env bash
# Times Koravel on the complete diallel of 100 lines (4,950 single crosses, each pair once,
# deterministic values) against the copy of its report, and prints in one run:
#   - HD to /dev/null (11,763,683 lines, 612 MB), as a ratio to cp of the report to /dev/shm;
#   - HD to a new file (synced before it replaces its target), as a ratio to cp plus sync;
#   - the peak memory of both, and the HT report (485,108 lines) to /dev/null and to a file;
#   - the report window (bench/report_window_load): the report shown in Memo1 and scrolled to
#     its end, ".:: LIMPAR ::." and ".:: Salvar ::.", with the window program's peak memory.
# Times are medians of runs that alternate the program with the copy (and with the other
# program), since the disk and the processors here are shared.
#   bash scripts/bench_cli.sh                     uses build/, building what is missing
#   KORAVEL_BUILD_DIR=build-x RUNS=9 WINDOW_RUNS=3 bash scripts/bench_cli.sh
#   BEFORE=/some/folder bash scripts/bench_cli.sh  the koravel-cli and report_window_load in
#                                                  that folder are timed too, alternated with
#                                                  these, and their reports compared byte by byte
# Goals: HD to /dev/null at most 1x the copy, to a file at most 1.5x the copy and sync, peak
# memory under 64 MB, HT at most 0.1 s; the window at most 2.5 s to show the report and 1.2 GB,
# LIMPAR and Salvar at most 1 s each.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${KORAVEL_BUILD_DIR:-build}
runs=${RUNS:-7}
window_runs=${WINDOW_RUNS:-3}
after_cli="$root/$build_dir/src/cli/koravel-cli"
after_window="$root/$build_dir/bench/report_window_load"

if [ ! -x "$after_cli" ] || [ ! -x "$after_window" ]; then
  echo "Building koravel-cli and report_window_load in $build_dir ..."
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKORAVEL_BENCH=ON -DKORAVEL_TESTS=OFF \
      >/dev/null
  else
    cmake -S . -B "$build_dir" -DKORAVEL_BENCH=ON >/dev/null
  fi
  cmake --build "$build_dir" --target koravel-cli -j2
  cmake --build "$build_dir" --target report_window_load -j2 || true
fi

labels=(after)
clis=("$after_cli")
windows=("$after_window")
if [ -n "${BEFORE:-}" ]; then
  labels=(before after)
  clis=("$BEFORE/koravel-cli" "$after_cli")
  windows=("$BEFORE/report_window_load" "$after_window")
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/koravel-bench.XXXXXX")
shm=$(mktemp -d /dev/shm/koravel-bench.XXXXXX)
trap 'rm -rf "$work" "$shm"' EXIT
cd "$work"

# Yields between 4.00 and 11.99 t/ha, a fixed function of the two parents.
awk 'BEGIN {
  for (i = 1; i <= 100; i++)
    for (j = i + 1; j <= 100; j++)
      printf "%d %d %.2f\r\n", i, j, 4 + ((i * 37 + j * 91) % 800) / 100
}' > diallel100.txt
export LC_ALL=C

hd_args=(diallel100.txt --lines 100 --reciprocals nao)
hd() { "$1" hd "${hd_args[@]}" "${@:2}"; }
ht() { "$1" ht "${hd_args[@]}" "${@:2}"; }

hd "$after_cli" --output report.txt
echo "diallel100.txt: $(wc -l < diallel100.txt) single crosses; HD report: $(wc -l < report.txt) lines, $(wc -c < report.txt) bytes"

# The same bytes from both programs, raw and cleaned up, HD and HT.
if [ -n "${BEFORE:-}" ]; then
  for kind in hd ht; do
    for clean in "" --clean; do
      a=$("$kind" "${clis[0]}" $clean | md5sum | cut -c1-32)
      b=$("$kind" "${clis[1]}" $clean | md5sum | cut -c1-32)
      printf '%s %-7s md5 before %s after %s: %s\n' "$kind" "${clean:-raw}" "$a" "$b" \
        "$([ "$a" = "$b" ] && echo identical || echo DIFFERENT)"
    done
  done
fi

# The clock without starting a process (bash 5), so that short runs are timed fairly.
now() { if [ -n "${EPOCHREALTIME:-}" ]; then echo "${EPOCHREALTIME/,/.}"; else date +%s.%N; fi; }
# Seconds the command takes; its standard output goes to /dev/null.
seconds() {
  local start end
  start=$(now)
  "$@" > /dev/null
  end=$(now)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }'
}
median() { sort -n | awk '{ t[NR] = $1 } END {
  if (NR % 2) printf "%.3f\n", t[(NR + 1) / 2]; else printf "%.3f\n", (t[NR / 2] + t[NR / 2 + 1]) / 2 }'; }
peak_mb() { # the peak memory of koravel-cli with these arguments, in MB, and its CPU seconds
  /usr/bin/time -f '%M %U %S' -o usage.txt "$@" >/dev/null
  awk '{ printf "%.1f %.2f\n", $1 / 1024, $2 + $3 }' usage.txt
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
verdict() { awk -v v="$1" -v l="$2" 'BEGIN { print (v <= l) ? "ok" : "OVER THE GOAL" }'; }

copy_shm() { rm -f "$shm/copy.txt"; seconds cp report.txt "$shm/copy.txt"; rm -f "$shm/copy.txt"; }
copy_sync() {
  rm -f copy.txt
  seconds sh -c 'cp report.txt copy.txt && sync copy.txt'
  rm -f copy.txt
}
to_null() { seconds hd "$1"; }
to_file() { rm -f out.txt; seconds hd "$1" --output out.txt; rm -f out.txt; }
ht_null() { seconds ht "$1"; }
ht_file() { rm -f out.txt; seconds ht "$1" --output out.txt; rm -f out.txt; }

: > times.txt
for round in $(seq "$runs"); do
  # Each round starts with another program, so that none always follows the copy.
  order=$(seq 0 $((${#clis[@]} - 1)))
  if [ $((round % 2)) = 0 ]; then order=$(echo "$order" | tac); fi
  echo "copy_shm $(copy_shm)" >> times.txt
  for p in $order; do echo "null_$p $(to_null "${clis[$p]}")" >> times.txt; done
  echo "copy_sync $(copy_sync)" >> times.txt
  for p in $order; do echo "file_$p $(to_file "${clis[$p]}")" >> times.txt; done
  for p in $order; do
    echo "htnull_$p $(ht_null "${clis[$p]}")" >> times.txt
    echo "htfile_$p $(ht_file "${clis[$p]}")" >> times.txt
  done
  printf '.' >&2
done
echo >&2
m() { awk -v k="$1" '$1 == k { print $2 }' times.txt | median; }

echo
echo "koravel-cli, medians of $runs alternated runs (seconds)"
printf 'cp of the report to /dev/shm: %s s; cp to a new file and sync of it: %s s\n' \
  "$(m copy_shm)" "$(m copy_sync)"
for p in $(seq 0 $((${#clis[@]} - 1))); do
  null=$(m "null_$p"); file=$(m "file_$p")
  null_ratio=$(ratio "$null" "$(m copy_shm)"); file_ratio=$(ratio "$file" "$(m copy_sync)")
  read -r peak_null cpu_null < <(peak_mb "${clis[$p]}" hd "${hd_args[@]}")
  rm -f out.txt
  read -r peak_file cpu_file < <(peak_mb "${clis[$p]}" hd "${hd_args[@]}" --output out.txt)
  rm -f out.txt
  ht_null_time=$(m "htnull_$p")
  printf '%-6s HD > /dev/null %6s s = %sx cp (goal <= 1: %s)\n' "${labels[$p]}" "$null" \
    "$null_ratio" "$(verdict "$null_ratio" 1)"
  printf '%-6s HD --output    %6s s = %sx cp+sync (goal <= 1.5: %s)\n' "${labels[$p]}" "$file" \
    "$file_ratio" "$(verdict "$file_ratio" 1.5)"
  printf '%-6s HD peak memory %s MB to /dev/null, %s MB to a file (goal < 64 MB: %s); CPU (user + system, one run) %s s and %s s\n' \
    "${labels[$p]}" "$peak_null" "$peak_file" "$(verdict "$peak_file" 63.99)" "$cpu_null" "$cpu_file"
  printf '%-6s HT > /dev/null %6s s (goal <= 0.1 s: %s); HT --output %s s\n' "${labels[$p]}" \
    "$ht_null_time" "$(verdict "$ht_null_time" 0.1)" "$(m "htfile_$p")"
done

# The window program prints a line per step: "<step>  <wall> s  (processador <cpu> s)  pico de
# memória <peak> MB".
if [ -x "$after_window" ]; then
  export QT_QPA_PLATFORM=offscreen
  mkdir -p window
  : > window.txt
  for round in $(seq "$window_runs"); do
    order=$(seq 0 $((${#windows[@]} - 1)))
    if [ $((round % 2)) = 0 ]; then order=$(echo "$order" | tac); fi
    for p in $order; do
      "${windows[$p]}" 100 --dir window 2>/dev/null | awk -v p="$p" '
        /pico de mem/ { for (i = 1; i <= NF; i++) if ($i == "s") { wall = $(i - 1); break }
                        peak = $(NF - 1) }
        /relatório no Memo1/ { load = wall }
        /rolada até o fim/ { load += wall }
        /LIMPAR/ { clean = wall }
        /Salvar/ { save = wall }
        END { print "load_" p, load; print "clean_" p, clean; print "save_" p, save;
              print "peak_" p, peak }' >> window.txt
      printf '.' >&2
    done
  done
  echo >&2
  w() { awk -v k="$1" '$1 == k { print $2 }' window.txt | median; }
  echo
  echo "report window, n = 100, medians of $window_runs alternated runs"
  for p in $(seq 0 $((${#windows[@]} - 1))); do
    printf '%-6s shown and scrolled %s s (goal <= 2.5 s: %s), LIMPAR %s s (%s), Salvar %s s (%s), peak memory %s MB (goal <= 1200: %s)\n' \
      "${labels[$p]}" "$(w "load_$p")" "$(verdict "$(w "load_$p")" 2.5)" "$(w "clean_$p")" \
      "$(verdict "$(w "clean_$p")" 1)" "$(w "save_$p")" "$(verdict "$(w "save_$p")" 1)" \
      "$(w "peak_$p")" "$(verdict "$(w "peak_$p")" 1200)"
  done
fi
