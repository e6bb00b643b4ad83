#!/usr/bin/env bash
# Installs what is missing, builds Koravel with its tests and runs every test.
#   KORAVEL_WERROR=ON bash scripts/test.sh      warnings as errors (as CI does)
#   bash scripts/test.sh --sanitize              every test again under ASan + UBSan
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

werror=${KORAVEL_WERROR:-OFF}
if [ "${1:-}" = "--sanitize" ]; then
  KORAVEL_BUILD_DIR=build-sanitize bash scripts/build.sh -DKORAVEL_WERROR="$werror" \
    -DKORAVEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
  ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)"
else
  KORAVEL_BUILD_DIR=build bash scripts/build.sh -DKORAVEL_WERROR="$werror" -DKORAVEL_TESTS=ON
  ctest --test-dir build --output-on-failure -j "$(nproc)"
fi
