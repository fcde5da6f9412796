#!/usr/bin/env bash
# Runs a fuzz target on a scratch copy of its committed seed corpus, so that
# the inputs a run adds stay out of the source tree.
# Usage: run_fuzz.sh FUZZER SEED_CORPUS SCRATCH_DIR [libFuzzer options...]
set -euo pipefail
fuzzer=$1 seeds=$2 scratch=$3
shift 3
rm -rf "$scratch"
mkdir -p "$scratch/corpus" "$scratch/tmp" "$scratch/artifacts"
cp -R "$seeds/." "$scratch/corpus/"
export TMPDIR=$scratch/tmp
exec "$fuzzer" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$scratch/artifacts/" "$@" "$scratch/corpus"
