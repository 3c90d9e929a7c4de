#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SEED_DIR WORK_DIR SECONDS
# Runs a libFuzzer target for a fixed time on a copy of its seed corpus; any crash,
# leak or sanitizer report fails the run.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
if [ -d "$seeds" ]; then cp -r "$seeds"/. "$work/corpus/"; fi
# The readers may hold up to about 1.5 GB for the largest picture they accept (a 512 MiB
# bitmap, 1 GB for libjpeg's buffers), plus the sanitizers' own memory: the whole process
# may grow to 3 GB, but no single allocation may pass 1200 MB.
exec "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=3072 -malloc_limit_mb=1200 -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus"
