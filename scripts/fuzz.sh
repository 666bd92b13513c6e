#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default
# 60), starting from the seed corpora in fuzz/corpus. A crash, leak or
# time-out stops the run with the input that caused it in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
scripts/install-deps.sh --fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

findings=build/fuzz/findings
mkdir -p "$findings"
# The shipped language files are seeds of the language file reader too.
declare -A extraSeeds=([fuzz_list_reader]="" [fuzz_language_file]="data/language")
for target in fuzz_list_reader fuzz_language_file; do
  seeds="fuzz/corpus/${target#fuzz_}"
  # New inputs go to a scratch corpus, so the seeds in the tree stay as they are.
  corpus="build/fuzz/corpus/${target#fuzz_}"
  mkdir -p "$corpus"
  echo "== $target for ${seconds} s"
  "build/fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" "$corpus" "$seeds" ${extraSeeds[$target]}
done
