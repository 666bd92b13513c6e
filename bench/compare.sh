#!/usr/bin/env bash
# Times `zelk-sfv` against the tools users compare it with, over the same
# data: one 1 GiB file, 100 files of 10 MiB and 10,000 files of 4 KiB, CRC-32
# and MD5, lists created and verified; and the 1 GiB file under each other
# algorithm against that algorithm's own tool. Each zelk-sfv figure comes with the
# same run under --jobs 1 (one file after another). Prints the median and the
# spread (lowest to highest) of alternating runs and the ratio zelk / other
# (below 1 means zelk is faster).
#
#   bench/compare.sh [--cold] [RUNS]
#
# Data is hot in the page cache unless --cold is given: then the cache is
# dropped before every single run (needs root), and only the 1 GiB file is
# timed, against md5sum and against cat reading it to /dev/null. RUNS
# defaults to 7 (5 with --cold); data is kept in $ZELK_BENCH_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
cold=false
if [[ ${1:-} == --cold ]]; then
  cold=true
  shift
fi
runs=${1:-$($cold && echo 5 || echo 7)}
data=${ZELK_BENCH_DIR:-/tmp/zelk-bench}
if $cold && [[ ! -w /proc/sys/vm/drop_caches ]]; then
  echo "--cold drops the page cache: run as root" >&2
  exit 2
fi

scripts/install-deps.sh --bench
cmake --preset release >/dev/null
cmake --build --preset release --target zelk-sfv >/dev/null
zelk=$PWD/build/release/cli/zelk-sfv

make_files() {  # FOLDER COUNT SIZE: COUNT files of SIZE random bytes, 100 to a subfolder
  python3 - "$@" <<'PY'
import os, sys
root, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
for n in range(count):
    folder = os.path.join(root, f"d{n // 100:02}")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, f"f{n % 100:03}.bin"), "wb") as out:
        out.write(os.urandom(size))
PY
}
if [[ ! -f $data/big/one.bin ]]; then
  echo "making test data in $data"
  mkdir -p "$data/big"
  head -c 1G /dev/urandom > "$data/big/one.bin"
fi
[[ -d $data/tree ]] || make_files "$data/tree" 10000 4096
[[ -d $data/mid ]] || make_files "$data/mid" 100 $((10 << 20))

remove_lists() { rm -f "$data"/{big,tree,mid}/*.{sfv,md5,sha1,sha256,sha512,blake3,xxh128}; }

warm() { cat "$data/big/one.bin" > /dev/null; find "$data/tree" "$data/mid" -type f -exec cat {} + > /dev/null; }

# One timing in seconds of a shell command, its output discarded.
time_once() {
  local start end
  if $cold; then
    sync
    echo 3 > /proc/sys/vm/drop_caches
  fi
  start=$(date +%s%N)
  bash -c "$1" > /dev/null 2>&1 || true
  end=$(date +%s%N)
  echo "scale=4; ($end - $start) / 1000000000" | bc
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
spread() { sort -n | awk 'NR == 1 { low = $1 } { high = $1 } END { printf "%.3f-%.3f", low, high }'; }

# compare TITLE PREPARE ZELK_COMMAND OTHER_NAME OTHER_COMMAND [...]: ZELK_COMMAND
# holds JOBS where "--jobs 1" goes in the second zelk-sfv row; PREPARE runs
# before every timing (removing or making the list the command needs).
compare() {
  local title=$1 prepare=$2 ours=$3
  shift 3
  local -a names=("zelk-sfv" "zelk-sfv --jobs 1") commands=("${ours//JOBS/}" "${ours//JOBS/--jobs 1}")
  while (($#)); do names+=("$1"); commands+=("$2"); shift 2; done
  local -a files=()
  for _ in "${names[@]}"; do files+=("$(mktemp)"); done
  for ((run = 0; run < runs; run++)); do
    for i in "${!commands[@]}"; do
      eval "$prepare"
      time_once "${commands[$i]}" >> "${files[$i]}"
    done
  done
  local ours_median; ours_median=$(median < "${files[0]}")
  printf '\n%s\n' "$title"
  for i in "${!names[@]}"; do
    local value; value=$(median < "${files[$i]}")
    printf '  %-22s %8.3f s  (%s)' "${names[$i]}" "$value" "$(spread < "${files[$i]}")"
    ((i < 1)) || printf '   ratio %.2f' "$(echo "scale=4; $ours_median / $value" | bc)"
    printf '\n'
  done
  rm -f "${files[@]}"
}

fresh=remove_lists
with_sfv() { remove_lists; "$zelk" create -r --force "$1" > /dev/null; }
with_md5() { remove_lists; "$zelk" create -r --md5 --force "$1" > /dev/null; }
# The other tools check lists of their own making, kept outside the data.
mkdir -p "$data/lists"
[[ -f $data/lists/big.md5sum ]] || (cd "$data/big" && md5sum one.bin > "$data/lists/big.md5sum")
[[ -f $data/lists/mid.md5sum ]] || (cd "$data/mid" && find . -type f -print0 | xargs -0 md5sum > "$data/lists/mid.md5sum")
[[ -f $data/lists/tree.md5sum ]] || (cd "$data/tree" && find . -type f -print0 | xargs -0 md5sum > "$data/lists/tree.md5sum")
[[ -f $data/lists/tree.sfv ]] || (cd "$data/tree" && rhash -r --crc32 . > "$data/lists/tree.sfv")

remove_lists
$cold || warm
echo "load before: $(uptime)"
if $cold; then
  compare "1 GiB file, MD5, cold cache" "$fresh" "$zelk create --md5 --force JOBS $data/big" \
    "md5sum" "md5sum $data/big/one.bin"
  compare "1 GiB file, CRC-32, cold cache" "$fresh" "$zelk create --force JOBS $data/big" \
    "cat > /dev/null" "cat $data/big/one.bin > /dev/null"
  echo "load after: $(uptime)"
  exit
fi
compare "1 GiB file, CRC-32" "$fresh" "$zelk create --force JOBS $data/big" \
  "rhash --crc32" "rhash --crc32 $data/big/one.bin" \
  "cksfv" "cksfv $data/big/one.bin"
compare "1 GiB file, MD5" "$fresh" "$zelk create --md5 --force JOBS $data/big" \
  "md5sum" "md5sum $data/big/one.bin"
for pair in "sha1:sha1sum" "sha256:sha256sum" "sha512:sha512sum" "blake3:b3sum" "xxh128:xxhsum -H2"; do
  compare "1 GiB file, ${pair%%:*}" "$fresh" "$zelk create --algorithm ${pair%%:*} --force JOBS $data/big" \
    "${pair#*:}" "${pair#*:} $data/big/one.bin"
done
compare "100 files of 10 MiB, CRC-32" "$fresh" "$zelk create -r --force JOBS $data/mid" \
  "rhash -r --crc32" "rhash -r --crc32 $data/mid"
compare "100 files of 10 MiB, MD5" "$fresh" "$zelk create -r --md5 --force JOBS $data/mid" \
  "md5sum" "cd $data/mid && find . -type f -print0 | xargs -0 md5sum"
compare "10,000 files of 4 KiB, CRC-32" "$fresh" "$zelk create -r --force JOBS $data/tree" \
  "rhash -r --crc32" "rhash -r --crc32 $data/tree" \
  "cksfv -R" "cd $data/tree && cksfv -R ."
compare "10,000 files of 4 KiB, MD5" "$fresh" "$zelk create -r --md5 --force JOBS $data/tree" \
  "md5sum" "cd $data/tree && find . -type f -print0 | xargs -0 md5sum"
compare "Verify 1 GiB file, MD5" "with_md5 $data/big" "$zelk verify JOBS $data/big" \
  "md5sum -c" "cd $data/big && md5sum -c $data/lists/big.md5sum"
compare "Verify 100 files of 10 MiB, MD5" "with_md5 $data/mid" "$zelk verify JOBS $data/mid" \
  "md5sum -c" "cd $data/mid && md5sum -c $data/lists/mid.md5sum"
compare "Verify 10,000 files of 4 KiB, CRC-32" "with_sfv $data/tree" "$zelk verify JOBS $data/tree" \
  "rhash -c" "cd $data/tree && rhash -c $data/lists/tree.sfv"
compare "Verify 10,000 files of 4 KiB, MD5" "with_md5 $data/tree" "$zelk verify JOBS $data/tree" \
  "md5sum -c" "cd $data/tree && md5sum -c $data/lists/tree.md5sum"
remove_lists
echo "load after: $(uptime)"
