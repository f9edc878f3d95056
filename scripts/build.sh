#!/usr/bin/env bash
# Builds the native test build and both Windows builds.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
for preset in "$@"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done
