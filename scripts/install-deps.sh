#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the Debian package, the
# benchmarks and the fuzzers need.
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev fonts-dejavu-core
  libgtest-dev libgmock-dev libbenchmark-dev
  libdw-dev libssl-dev libxxhash-dev librust-blake3-dev nlohmann-json3-dev
  rhash cksfv b3sum xxhash unrtf coreutils locales
  dpkg-dev file man-db
  desktop-file-utils shared-mime-info python3
)
case "${1:-}" in
  --bench) packages+=(zlib1g-dev hyperfine python3 bc) ;;
  --fuzz) packages+=(clang libclang-rt-14-dev) ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -ne 0 ]] && sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
