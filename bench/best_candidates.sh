#!/usr/bin/env bash
# Times koravel-cli --no-report (the best K hybrids without the report) on complete diallels,
# each pair once (--reciprocals nao), of two kinds, made here from a fixed seed:
#   uniform  value uniform on 3 to 12, two decimals
#   effects  value = 5 + g_i + g_j + e, g uniform on -2 to 2 per line, e on -0.5 to 0.5
# Goals: HD n = 200, K = 100 within 2 s; HD n = 1000 within 20 s; HT n = 1000 within 2 s.
# Prints the wall, user and system time and the peak memory of each run.
#   bash bench/best_candidates.sh                 the goals
#   GROWTH=1 bash bench/best_candidates.sh        also n = 100..1000 at K = 100, K = 10..10000
#   TODAY=1 bash bench/best_candidates.sh         also the ranking of the whole report, n = 200
#   KORAVEL_BUILD_DIR=build-x bash bench/best_candidates.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
cli="$root/${KORAVEL_BUILD_DIR:-build}/src/cli/koravel-cli"
[ -x "$cli" ] || { echo "no $cli: build koravel-cli first" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/koravel-best.XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C

table() { # kind n -> the data file's name
  local file="$work/$1$2.txt"
  [ -f "$file" ] || awk -v n="$2" -v kind="$1" 'BEGIN {
    srand(20260614)
    for (i = 1; i <= n; i++) g[i] = -2 + 4 * rand()
    for (i = 1; i <= n; i++)
      for (j = i + 1; j <= n; j++) {
        v = kind == "uniform" ? 3 + 9 * rand() : 5 + g[i] + g[j] - 0.5 + rand()
        printf "%d %d %.2f\n", i, j, v
      }
  }' > "$file"
  echo "$file"
}

# command table n K [more options]
run() {
  local command=$1 kind=$2 n=$3 top=$4
  shift 4
  local data
  data=$(table "$kind" "$n")
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$cli" "$command" "$data" --lines "$n" \
    --reciprocals nao --decimal-separator . --top "$top" "$@" >/dev/null
  read -r wall user sys kb < "$work/time"
  local shown=${*//$work\//}
  printf '%-3s %-8s n=%-5s K=%-6s %-34s %6.2f s wall %5.2f s user %5.2f s sys %4d MB\n' \
    "$command" "$kind" "$n" "$top" "$shown" "$wall" "$user" "$sys" $((kb / 1024))
}

for kind in uniform effects; do
  run hd "$kind" 200 100 --no-report --ranking "$work/r.csv"
  run hd "$kind" 200 100 --no-report --ranking "$work/r.csv" --best-pairing
  run hd "$kind" 1000 100 --no-report --ranking "$work/r.csv"
  run ht "$kind" 1000 100 --no-report --ranking "$work/r.csv"
done

if [ "${GROWTH:-0}" = 1 ]; then
  for kind in uniform effects; do
    for n in 100 200 400 700 1000; do
      run hd "$kind" "$n" 100 --no-report --ranking "$work/r.csv"
    done
    for top in 10 1000 10000; do
      run hd "$kind" 400 "$top" --no-report --ranking "$work/r.csv"
      run ht "$kind" 1000 "$top" --no-report --ranking "$work/r.csv"
    done
  done
fi

if [ "${TODAY:-0}" = 1 ]; then
  # The whole report worked out and thrown away, its candidates ranked on the way.
  run hd uniform 200 100 --output /dev/null --ranking "$work/r.csv"
fi
