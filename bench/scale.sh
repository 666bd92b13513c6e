#!/usr/bin/env bash
# Time and peak memory of `zelk-sfv` on a large folder: 200,000 files of
# 1 KiB in 200 subfolders, hot in the page cache, created and verified as
# SFV (CRC-32) and MD5 lists, beside rhash and md5sum doing the same. Prints
# the median wall time of alternating runs, the highest peak resident size
# seen, and the ratio zelk / other (below 1 means zelk is faster).
#
#   bench/scale.sh [RUNS] [FILES]
#
# RUNS defaults to 5, FILES to 200000; data is kept in $ZELK_BENCH_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
count=${2:-200000}
data=${ZELK_BENCH_DIR:-/tmp/zelk-bench}/scale-$count
scripts/install-deps.sh --bench
cmake --preset release >/dev/null
cmake --build --preset release --target zelk-sfv >/dev/null
zelk=$PWD/build/release/cli/zelk-sfv

if [[ ! -f $data/.made ]]; then
  echo "making $count files in $data"
  python3 - "$data" "$count" <<'PY'
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
per_folder = max(1, count // 200)
for n in range(count):
    folder = os.path.join(root, f"d{n // per_folder:03}")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, f"f{n % per_folder:04}.bin"), "wb") as out:
        out.write(os.urandom(1024))
PY
  touch "$data/.made"
fi
lists=$data.lists
mkdir -p "$lists"
[[ -f $lists/peer.sfv ]] || (cd "$data" && rhash -r --crc32 . > "$lists/peer.sfv")
[[ -f $lists/peer.md5 ]] || (cd "$data" && find . -type f -name '*.bin' -print0 | sort -z | xargs -0 md5sum > "$lists/peer.md5")
find "$data" -type f -exec cat {} + > /dev/null

remove_lists() { rm -f "$data"/*.{sfv,md5}; }
# Seconds and peak kilobytes of one run, its output discarded.
measure() { /usr/bin/time -f '%e %M' -o /dev/stdout bash -c "$1 > /dev/null 2>&1 || true" | tail -1; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# row TITLE PREPARE ZELK_COMMAND OTHER_NAME OTHER_COMMAND
row() {
  local title=$1 prepare=$2 ours=$3 name=$4 other=$5 ours_file other_file
  ours_file=$(mktemp)
  other_file=$(mktemp)
  for ((run = 0; run < runs; run++)); do
    eval "$prepare"
    measure "$ours" >> "$ours_file"
    eval "$prepare"
    measure "$other" >> "$other_file"
  done
  local ours_time other_time ours_peak other_peak
  ours_time=$(cut -d' ' -f1 < "$ours_file" | median)
  other_time=$(cut -d' ' -f1 < "$other_file" | median)
  ours_peak=$(cut -d' ' -f2 < "$ours_file" | sort -n | tail -1)
  other_peak=$(cut -d' ' -f2 < "$other_file" | sort -n | tail -1)
  printf '\n%s\n' "$title"
  printf '  %-22s %7.2f s  %7.1f MB   ratio %.2f\n' zelk-sfv "$ours_time" "$(echo "scale=1; $ours_peak / 1024" | bc)" \
    "$(echo "scale=4; $ours_time / $other_time" | bc)"
  printf '  %-22s %7.2f s  %7.1f MB\n' "$name" "$other_time" "$(echo "scale=1; $other_peak / 1024" | bc)"
  rm -f "$ours_file" "$other_file"
}

echo "load before: $(uptime)"
row "Create CRC-32, $count files of 1 KiB" remove_lists "$zelk create -r --force $data" \
  "rhash -r --crc32" "rhash -r --crc32 $data"
row "Create MD5, $count files of 1 KiB" remove_lists "$zelk create -r --md5 --force $data" \
  "md5sum" "cd $data && find . -type f -print0 | xargs -0 md5sum"
remove_lists
"$zelk" create -r --force "$data" > /dev/null
row "Verify CRC-32, $count files of 1 KiB" : "$zelk verify $data" \
  "rhash -c" "cd $data && rhash -c $lists/peer.sfv"
remove_lists
"$zelk" create -r --md5 --force "$data" > /dev/null
row "Verify MD5, $count files of 1 KiB" : "$zelk verify $data" \
  "md5sum -c" "cd $data && md5sum -c $lists/peer.md5"
remove_lists
echo "load after: $(uptime)"
