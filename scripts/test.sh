#!/usr/bin/env bash
# Runs every test: the unit tests, the portability check and the settings
# fuzzer (CTest), then the end-to-end tests of the Windows build under Wine.
set -uo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh || exit 1
scripts/build.sh linux win64 win32 || exit 1

ctest --preset linux --output-on-failure
unit_status=$?

/usr/bin/python3 -m pytest tests/e2e -p no:cacheprovider -v
e2e_status=$?

exit $(( unit_status != 0 || e2e_status != 0 ))
