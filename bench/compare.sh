#!/usr/bin/env bash
# Times `zelk-sfv create` against the tools users compare it with, over the
# same data hot in the page cache: one 1 GiB file and a tree of 10,000 files
# of 4 KiB, CRC-32 and MD5. Prints the median of several alternating runs and
# the ratio zelk / other (below 1 means zelk is faster).
#
#   bench/compare.sh [RUNS]       (default 7; data is kept in $ZELK_BENCH_DIR)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
data=${ZELK_BENCH_DIR:-/tmp/zelk-bench}

scripts/install-deps.sh --bench
cmake --preset release >/dev/null
cmake --build --preset release --target zelk-sfv >/dev/null
zelk=$PWD/build/release/cli/zelk-sfv

if [[ ! -f $data/big/one.bin ]]; then
  echo "making test data in $data"
  mkdir -p "$data/big" "$data/tree"
  head -c 1G /dev/urandom > "$data/big/one.bin"
  python3 - "$data/tree" <<'PY'
import os, sys
root = sys.argv[1]
for d in range(100):
    folder = os.path.join(root, f"d{d:02}")
    os.makedirs(folder, exist_ok=True)
    for f in range(100):
        with open(os.path.join(folder, f"f{f:03}.bin"), "wb") as out:
            out.write(os.urandom(4096))
PY
fi
# Warm the page cache.
cat "$data/big/one.bin" > /dev/null
find "$data/tree" -type f -exec cat {} + > /dev/null

remove_lists() { rm -f "$data"/big/*.sfv "$data"/big/*.md5 "$data"/tree/*.sfv "$data"/tree/*.md5; }

# One timing in seconds of a shell command, its output discarded.
time_once() {
  local start end
  start=$(date +%s%N)
  bash -c "$1" > /dev/null 2>&1
  end=$(date +%s%N)
  remove_lists
  echo "scale=4; ($end - $start) / 1000000000" | bc
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# compare NAME ZELK_COMMAND OTHER_NAME OTHER_COMMAND [OTHER_NAME OTHER_COMMAND ...]
compare() {
  local title=$1 ours=$2
  shift 2
  local -a names=() commands=()
  while (($#)); do names+=("$1"); commands+=("$2"); shift 2; done
  local ours_file; ours_file=$(mktemp)
  local -a files=()
  for _ in "${names[@]}"; do files+=("$(mktemp)"); done
  for ((run = 0; run < runs; run++)); do
    time_once "$ours" >> "$ours_file"
    for i in "${!commands[@]}"; do time_once "${commands[$i]}" >> "${files[$i]}"; done
  done
  local ours_median; ours_median=$(median < "$ours_file")
  printf '\n%s\n  %-28s %8.3f s\n' "$title" "zelk-sfv" "$ours_median"
  for i in "${!names[@]}"; do
    local theirs; theirs=$(median < "${files[$i]}")
    printf '  %-28s %8.3f s   ratio %.2f\n' "${names[$i]}" "$theirs" "$(echo "scale=4; $ours_median / $theirs" | bc)"
  done
  rm -f "$ours_file" "${files[@]}"
}

remove_lists
compare "1 GiB file, CRC-32" "$zelk create --force $data/big" \
  "rhash --crc32" "rhash --crc32 $data/big/one.bin" \
  "cksfv" "cksfv $data/big/one.bin"
compare "1 GiB file, MD5" "$zelk create --md5 --force $data/big" \
  "md5sum" "md5sum $data/big/one.bin"
compare "10,000 files of 4 KiB, CRC-32" "$zelk create -r --force $data/tree" \
  "rhash -r --crc32" "rhash -r --crc32 $data/tree" \
  "cksfv -R" "cd $data/tree && cksfv -R ."
compare "10,000 files of 4 KiB, MD5" "$zelk create -r --md5 --force $data/tree" \
  "md5sum" "cd $data/tree && find . -type f -print0 | xargs -0 md5sum"
