#!/usr/bin/env bash
# Builds and runs the whole test suite: the Linux build, then the 32-bit Windows
# build under Wine. A failure on either platform fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh all

jobs=$(nproc)
cmake --preset native
cmake --build --preset native -j "$jobs"
ctest --preset native

cmake --preset windows
cmake --build --preset windows -j "$jobs"
ctest --preset windows
