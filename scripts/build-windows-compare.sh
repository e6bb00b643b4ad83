#!/usr/bin/env bash
# koravel-cli.exe under Wine against the Linux koravel-cli, byte for byte: on every example, both
# kinds, both reciprocal options, raw and cleaned, with --decimal-separator given, the report on
# standard output and in a file, its CSV, its ranking and the sheets of its workbook; and the
# messages with accents on standard error, a count, and an output named "relatório ç.txt".
#   bash scripts/build-windows-compare.sh LINUX_CLI WINDOWS_CLI_EXE SCRATCH_FOLDER
# Run by scripts/build-windows.sh, which sets up Wine (WINEPREFIX, WINEPATH).
set -euo pipefail
cd "$(dirname "$0")/.."
linux=$1 windows=$2 scratch=$3
rm -rf "$scratch" && mkdir -p "$scratch/linux" "$scratch/windows"
winpath() { echo "Z:${1//\//\\}"; }
compared=0 differing=0

# Runs both programs with the arguments; "@OUT/" in an argument is each side's own folder. Then
# compares standard output, standard error, the exit status and each file named after the
# arguments.
both() {
  local files=() linux_args=() windows_args=() a
  while [ "$1" != "--" ]; do files+=("$1"); shift; done
  shift
  for a in "$@"; do
    case $a in
    @OUT/*) linux_args+=("$scratch/linux/${a#@OUT/}")
      windows_args+=("$(winpath "$scratch/windows/${a#@OUT/}")") ;;
    @DATA/*) linux_args+=("$PWD/${a#@DATA/}"); windows_args+=("$(winpath "$PWD/${a#@DATA/}")") ;;
    *) linux_args+=("$a"); windows_args+=("$a") ;;
    esac
  done
  local status_l=0 status_w=0
  LC_ALL=C "$linux" "${linux_args[@]}" >"$scratch/linux/stdout" 2>"$scratch/linux/stderr" \
    || status_l=$?
  wine "$windows" "${windows_args[@]}" >"$scratch/windows/stdout" 2>"$scratch/windows/stderr" \
    || status_w=$?
  compared=$((compared + 1))
  local bad=()
  [ "$status_l" = "$status_w" ] || bad+=("status $status_l/$status_w")
  for f in stdout stderr "${files[@]}"; do
    if [ ! -e "$scratch/windows/$f" ]; then
      bad+=("$f")
    elif [ "${f%.xlsx}" != "$f" ]; then
      # A workbook member by member, but for the time it was written (docProps/core.xml).
      [ "$(unzip -Z1 "$scratch/linux/$f")" = "$(unzip -Z1 "$scratch/windows/$f")" ] || bad+=("$f")
      for member in $(unzip -Z1 "$scratch/linux/$f" | grep -v '^docProps/core.xml$'); do
        # unzip reads a name as a pattern: "[Content_Types].xml" needs its brackets escaped.
        local pattern=${member//[/\\[}
        pattern=${pattern//]/\\]}
        cmp -s <(unzip -p "$scratch/linux/$f" "$pattern") <(unzip -p "$scratch/windows/$f" "$pattern") \
          || bad+=("$f:$member")
      done
    elif ! cmp -s "$scratch/linux/$f" "$scratch/windows/$f"; then
      bad+=("$f")
    fi
  done
  if [ ${#bad[@]} -gt 0 ]; then
    differing=$((differing + 1))
    echo "DIFFERS (${bad[*]}): koravel-cli $*" >&2
  fi
  rm -f "$scratch"/linux/* "$scratch"/windows/*
}

for data in examples/*.txt; do
  # n is the largest parent number; the separator is the comma when the first value has one.
  lines=$(awk '$1 ~ /^[0-9]+$/ && $2 ~ /^[0-9]+$/ { if ($1 > n) n = $1; if ($2 > n) n = $2 }
    END { print n + 0 }' "$data")
  separator=.
  head -1 "$data" | awk '{ exit !($3 ~ /,/) }' && separator=,
  for kind in hd ht; do
    for reciprocals in sim nao; do
      common=("$kind" "@DATA/$data" --lines "$lines" --reciprocals "$reciprocals"
        --decimal-separator "$separator")
      both -- "${common[@]}"
      both -- "${common[@]}" --clean
      pairing=()
      [ "$kind" = hd ] && pairing=(--best-pairing)
      both r.txt c.csv o.csv w.xlsx -- "${common[@]}" --output @OUT/r.txt --csv @OUT/c.csv \
        --top 10 "${pairing[@]}" --ranking @OUT/o.csv --xlsx @OUT/w.xlsx
    done
  done
done
# Messages with accents on standard error (redirected: the same bytes), and Portuguese on output.
both -- hd @DATA/examples/dialelo_completo.txt --lines 3
both -- counts 5
both -- hd @DATA/examples/dialelo_completo.txt --lines 6 --top=-3 --ranking @OUT/o.csv
both "relatório ç.txt" -- ht @DATA/examples/dialelo_completo.txt --lines 6 \
  --output "@OUT/relatório ç.txt"

echo "koravel-cli.exe under Wine and koravel-cli on Linux: $compared runs compared," \
  "$differing differing"
[ "$differing" = 0 ]
