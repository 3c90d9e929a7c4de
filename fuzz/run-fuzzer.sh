#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SEED_DIR WORK_DIR SECONDS
# Runs a libFuzzer target for a fixed time on a copy of its seed corpus; any crash,
# leak or sanitizer report fails the run.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4
rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
if [ -d "$seeds" ]; then cp -r "$seeds"/. "$work/corpus/"; fi
# The image readers stay under 1 GB for any input: the largest picture they accept needs
# at most about 650 MB (a progressive JPEG's coefficients and the quantizer's buffer),
# which leaves room for the sanitizers' own memory. A run that needs more fails. The
# other parsers may grow to 3 GB, with no single allocation past 1200 MB.
case "$(basename "$fuzzer")" in
  fuzz_bmp | fuzz_gif | fuzz_jpeg | fuzz_png) limits=(-rss_limit_mb=1024 -malloc_limit_mb=1024) ;;
  *) limits=(-rss_limit_mb=3072 -malloc_limit_mb=1200) ;;
esac
exec "$fuzzer" -max_total_time="$seconds" "${limits[@]}" -timeout=10 \
  -print_final_stats=1 -artifact_prefix="$work/artifacts/" "$work/corpus"
