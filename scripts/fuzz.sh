#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with Clang and runs each for a number of seconds, then
# prints executions, speed, corpus size and findings per target.
#   bash scripts/fuzz.sh                       every target for 600 s, one after the other
#   bash scripts/fuzz.sh 60 numtext lookup     two targets for 60 s each
#   JOBS=2 bash scripts/fuzz.sh                two targets at a time
#   KORAVEL_BUILD_DIR=build-x bash scripts/fuzz.sh
# The growing corpus and any finding stay in the build folder (<build>/fuzz-corpus/<target>,
# <build>/fuzz-findings/<target>); the seeds of fuzz/corpus/ are only read. A finding is
# replayed with: <build>/fuzz/fuzz_<target> <file>. Every test build also replays each target's
# seeds and a seeded stream of mutations as a CTest (ctest -R fuzz_), without Clang.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build_dir=${KORAVEL_BUILD_DIR:-build-fuzz}
jobs=${JOBS:-1}
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(import numtext lookup cleanup)

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is needed (apt-get install clang)" >&2
  exit 2
fi
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKORAVEL_FUZZ=ON -DKORAVEL_GUI=OFF -DKORAVEL_TESTS=OFF >/dev/null
fi
cmake --build "$build_dir" --target koravel_fuzz -j "$(nproc)"

run_target() {
  local target=$1
  local corpus="$root/$build_dir/fuzz-corpus/$target"
  local findings="$root/$build_dir/fuzz-findings/$target"
  local log="$root/$build_dir/fuzz-$target.log"
  local options=()
  mkdir -p "$corpus" "$findings"
  [ -f "fuzz/$target.dict" ] && options+=(-dict="$root/fuzz/$target.dict")
  # Lines are read up to 4096 characters: inputs must be able to pass that.
  case $target in import | cleanup) options+=(-max_len=12000) ;; esac
  # The work runs in the findings folder, where libFuzzer also leaves its crash files.
  (cd "$findings" && "$root/$build_dir/fuzz/fuzz_$target" -max_total_time="$seconds" \
    -print_final_stats=1 -artifact_prefix="$findings/" "${options[@]}" \
    "$corpus" "$root/fuzz/corpus/$target") >"$log" 2>&1 || true
}

summary() {
  local target=$1
  local log="$root/$build_dir/fuzz-$target.log"
  local runs speed time corpus found
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  # libFuzzer's own count: the inputs it keeps for their coverage, and their size.
  corpus=$(sed -n 's/.*DONE .* corp: \([0-9]*\/[0-9A-Za-z]*\).*/\1/p' "$log" | tail -1)
  found=$(find "$root/$build_dir/fuzz-findings/$target" -maxdepth 1 -type f \
    \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  printf '%-8s executions %-10s exec/s %-7s seconds %-5s corpus %-6s findings %s\n' \
    "$target" "${runs:-?}" "${speed:-?}" "${time:-stopped}" "${corpus:-?}" "$found"
  if [ "$found" -gt 0 ]; then
    grep -m1 -A3 -E 'FUZZ PROPERTY FAILED|ERROR: (AddressSanitizer|UndefinedBehavior|libFuzzer)|runtime error' \
      "$log" | sed 's/^/    /' || true
  fi
}

running=0
for target in "${targets[@]}"; do
  echo "fuzz_$target: $seconds s, log in $build_dir/fuzz-$target.log"
  run_target "$target" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

echo
for target in "${targets[@]}"; do
  summary "$target"
done
