#!/usr/bin/env bash
# The README's test command: installs what is missing, builds the debug configuration (with
# sanitizers), starts the services the tests need on local ports, runs every test and stops the
# services again.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/setup.sh" debug
source "$top/tools/services.sh"
trap services_stop EXIT
services_start
cd "$top/build/debug"
ctest --output-on-failure -j "$(nproc)" --timeout 600 "$@"
