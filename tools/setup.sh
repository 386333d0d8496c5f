#!/usr/bin/env bash
# Installs the Debian packages the project needs (when missing; needs root), then configures and
# builds one configuration.
#   tools/setup.sh [debug|release]
# debug   build/debug    AddressSanitizer + UndefinedBehaviorSanitizer, tests (the test run)
# release build/release  optimised, benchmarks and the main job
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
config=${1:-debug}

missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done < "$top/tools/packages.txt"
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then
    echo "setup: these packages are missing and installing them needs root" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null ||
    { apt-get update >/dev/null && apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null; }
fi

case "$config" in
  debug) flags=(-DCMAKE_BUILD_TYPE=Debug -DTDX_SANITIZE=ON -DTDX_BUILD_TESTS=ON) ;;
  release) flags=(-DCMAKE_BUILD_TYPE=Release -DTDX_BUILD_TESTS=OFF -DTDX_BUILD_BENCH=ON) ;;
  *) echo "setup: unknown configuration '$config' (debug or release)" >&2; exit 2 ;;
esac
build="$top/build/$config"
cmake -S "$top" -B "$build" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
