#!/usr/bin/env bash
# Installs what is missing, builds a sanitized tree (clang-14 with AddressSanitizer,
# UndefinedBehaviorSanitizer and the libFuzzer targets), then runs every test in it and a
# short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# -O1 keeps sanitized code quick to build and still fast enough to fuzz.
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DLCD_SANITIZE=ON -DLCD_FUZZ=ON -DLCD_BENCH=OFF >/dev/null
cmake --build build/sanitize
# Every test runs in this one tree: a second, unsanitized tree would run the same tests
# again and double the build. scripts/run.sh builds the optimised tree (with gcc).
cd build/sanitize
ctest --output-on-failure -j2
