#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SEED_DIR WORK_DIR SECONDS
# Runs a libFuzzer target for a fixed time on a copy of its seed corpus; any crash,
# leak or sanitizer report fails the run.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
if [ -d "$seeds" ]; then cp -r "$seeds"/. "$work/corpus/"; fi
exec "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus"
