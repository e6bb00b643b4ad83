#!/usr/bin/env bash
# Times koravel-cli on a complete diallel of 100 lines (4,950 single crosses, each pair once,
# deterministic values): all double crosses (11,763,683 report lines) and all three-way crosses
# (485,108 lines), written to a file. Goals: HD at most 3 s median wall time with peak memory
# under 200 MB; HT at most 0.3 s.
#   bash scripts/bench_cli.sh                  builds in build/ when koravel-cli is missing
#   KORAVEL_BUILD_DIR=build-x bash scripts/bench_cli.sh
#   RUNS=10 bash scripts/bench_cli.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${KORAVEL_BUILD_DIR:-build}
runs=${RUNS:-5}
cli="$root/$build_dir/src/cli/koravel-cli"

if [ ! -x "$cli" ]; then
  echo "Building koravel-cli in $build_dir ..."
  if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DKORAVEL_GUI=OFF -DKORAVEL_TESTS=OFF \
      >/dev/null
  fi
  cmake --build "$build_dir" --target koravel-cli -j "$(nproc)"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/koravel-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# Yields between 4.00 and 11.99 t/ha, a fixed function of the two parents.
awk 'BEGIN {
  for (i = 1; i <= 100; i++)
    for (j = i + 1; j <= 100; j++)
      printf "%d %d %.2f\r\n", i, j, 4 + ((i * 37 + j * 91) % 800) / 100
}' > diallel100.txt
echo "diallel100.txt: $(wc -l < diallel100.txt) single crosses"

export LC_ALL=C
hd=("$cli" hd diallel100.txt --lines 100 --reciprocals nao --output out.txt)
ht=("$cli" ht diallel100.txt --lines 100 --reciprocals nao --output out.txt)

"${hd[@]}"
echo "HD report: $(wc -l < out.txt) lines, $(wc -c < out.txt) bytes"
"${ht[@]}"
echo "HT report: $(wc -l < out.txt) lines, $(wc -c < out.txt) bytes"

# Median wall time in seconds of the command given, over $runs runs. Each run writes a new
# out.txt: replacing a report of 600 MB would also time the kernel dropping the old one.
median_seconds() {
  if command -v hyperfine >/dev/null 2>&1; then
    hyperfine --style none --warmup 1 --runs "$runs" --prepare 'rm -f out.txt' \
      --export-json times.json "$(printf '%q ' "$@")" >&2
    tr ',' '\n' < times.json | awk -F: '/"median"/ { printf "%.3f\n", $2; exit }'
  else
    local times=()
    for _ in $(seq "$runs"); do
      rm -f out.txt
      /usr/bin/time -f %e -o time.txt "$@" >/dev/null
      times+=("$(cat time.txt)")
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END {
      if (NR % 2) print t[(NR + 1) / 2]; else printf "%.3f\n", (t[NR / 2] + t[NR / 2 + 1]) / 2 }'
  fi
}

# Wall time of one run that replaces the report the previous run left.
replace_seconds() {
  "$@"
  /usr/bin/time -f %e -o time.txt "$@" >/dev/null
  cat time.txt
}

# Peak memory in MB and CPU time (user + system) in seconds of one run.
peak_and_cpu() {
  /usr/bin/time -f '%M %U %S' -o usage.txt "$@" >/dev/null
  awk '{ printf "%.1f %.2f\n", $1 / 1024, $2 + $3 }' usage.txt
}

verdict() { # value limit
  awk -v v="$1" -v l="$2" 'BEGIN { print (v <= l) ? "ok" : "OVER THE GOAL" }'
}

hd_time=$(median_seconds "${hd[@]}")
read -r hd_peak hd_cpu < <(peak_and_cpu "${hd[@]}")
hd_replace=$(replace_seconds "${hd[@]}")
ht_time=$(median_seconds "${ht[@]}")
read -r ht_peak ht_cpu < <(peak_and_cpu "${ht[@]}")

echo
printf 'HD n=100: median %s s (goal <= 3 s: %s), CPU %s s, peak memory %s MB (goal < 200 MB: %s)\n' \
  "$hd_time" "$(verdict "$hd_time" 3)" "$hd_cpu" "$hd_peak" "$(verdict "$hd_peak" 199.99)"
printf 'HD n=100 replacing its previous report: %s s (one run)\n' "$hd_replace"
printf 'HT n=100: median %s s (goal <= 0.3 s: %s), CPU %s s, peak memory %s MB\n' \
  "$ht_time" "$(verdict "$ht_time" 0.3)" "$ht_cpu" "$ht_peak"
