#!/usr/bin/env bash
# smoke.sh FUZZER SEEDS WORKDIR SECONDS: runs a fuzz target for a few seconds on a fresh working
# copy of its seeds (the committed seed folder is only read) and fails on any finding, whose
# input is left in WORKDIR.
set -euo pipefail
fuzzer=$1 seeds=$2 work=$3 seconds=$4
# Absolute paths: some targets work in a scratch folder of their own.
fuzzer=$(realpath "$fuzzer") seeds=$(realpath "$seeds") work=$(realpath -m "$work")
rm -rf "$work"
mkdir -p "$work/corpus"
dict=$(dirname "$seeds")/../dict/$(basename "$seeds").dict
exec "$fuzzer" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 -dict="$dict" \
  -artifact_prefix="$work/" "$work/corpus" "$seeds"
