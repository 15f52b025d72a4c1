#!/usr/bin/env bash
# The GPS receiver's end-to-end scenarios: the rig (scripts/lib/receiver_rig.py)
# on a loopback port, then the ReceiverTest cases of the suite, which drive it.
#   e2e/receiver_test.sh [BUILD_DIR]      (default build/win)
# A pty that vanishes hangs up the wineserver, which then dumps its object
# table to its stderr: the server is started here first, with its stderr
# discarded, so that the suite's output stays readable.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
build=${1:-build/win}

# shellcheck source=scripts/lib/wine-env.sh
source scripts/lib/wine-env.sh
rig=""
cleanup() {
  [ -n "$rig" ] && kill "$rig" 2>/dev/null && wait "$rig" 2>/dev/null
  wine_env_cleanup
}
trap cleanup EXIT
wine_env_setup
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p >/dev/null 2>&1

port=$((40000 + RANDOM % 20000))
mkdir -p "$build/receiver-rig"
python3 scripts/lib/receiver_rig.py --control "$port" --com 9 --dir "$build/receiver-rig" \
  >"$build/receiver-rig/rig.out" 2>&1 &
rig=$!
for _ in $(seq 1 50); do
  grep -q 'rig ready' "$build/receiver-rig/rig.out" 2>/dev/null && break
  sleep 0.1
done
TABIRO_RIG_PORT=$port wine "$build/bin/tabiro_e2e.exe" --gtest_filter="${RECEIVER_FILTER:-ReceiverTest.*}"
