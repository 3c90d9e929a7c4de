#!/usr/bin/env bash
# Installs what is missing, builds the Release tree and a sanitized tree (clang-14 with
# AddressSanitizer, UndefinedBehaviorSanitizer and the libFuzzer targets), then runs
# every test from the Release tree's CTest: its own tests, the sanitized tree's tests and
# a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
root=$PWD
# -O1 keeps sanitized code quick to build and still fast enough to fuzz.
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  -DCMAKE_C_FLAGS_DEBUG="-O1 -g1" \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DLCD_SANITIZE=ON -DLCD_FUZZ=ON -DLCD_BENCH=OFF >/dev/null
cmake --build build/sanitize
# The benchmarks are built by scripts/run.sh; the tests do not need them. -O1 builds the
# optimised tree in a fraction of -O3's time and still runs optimised code.
cmake -S . -B build/check -G Ninja -DCMAKE_BUILD_TYPE=Release -DLCD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-O1 -DNDEBUG" \
  -DLCD_SANITIZED_BUILD="$root/build/sanitize" >/dev/null
cmake --build build/check
cd build/check
ctest --output-on-failure -j2
