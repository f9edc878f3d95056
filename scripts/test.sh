#!/usr/bin/env bash
# Runs every test: the unit tests, the portability check and the settings
# fuzzer (CTest), then the end-to-end tests under Wine, on the 64-bit and
# then the 32-bit Windows build. Prints the time of each part at the end.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh || exit 1
scripts/build.sh linux win64 win32 || exit 1

times=()
SECONDS=0
ctest --preset linux --output-on-failure
unit_status=$?
times+=("unit tests (CTest): ${SECONDS} s")

e2e_status=0
for build in win64 win32; do
  SECONDS=0
  /usr/bin/python3 -m pytest tests/e2e -p no:cacheprovider -v --build "$build" || e2e_status=1
  times+=("end-to-end tests on $build: ${SECONDS} s")
done

printf '%s\n' "${times[@]}"
exit $(( unit_status != 0 || e2e_status != 0 ))
