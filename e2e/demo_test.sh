#!/usr/bin/env bash
# The demo in short for the end-to-end stage: scripts/demo watching the guided
# drive at 8 times real time; fails when the timeline lacks an expected
# announcement (in order) or has the camera that must stay silent.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

DEMO_WATCH=1 DEMO_REPLAY_SPEED=8 DEMO_SECONDS=90 scripts/demo
python3 - build/demo/timeline.txt <<'PY'
import sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
spoken = [l for l in lines if "「" in l]
expected = [
    ("地点 1", "まもなく右方向です。", "右方向.wav"),
    ("地点 2", "まもなく左方向です。", "左方向.wav"),
    ("地点 3", "まもなく左方向です。", "左方向.wav"),
    ("オービス 1", "この先、オービスHシステム 国道17号です。スピード注意！", "ovis2_h.wav"),
    ("地点 4", "まもなく目的地です。", "目的地.wav"),
]
at = 0
missing = []
for parts in expected:
    while at < len(spoken) and not all(p in spoken[at] for p in parts):
        at += 1
    if at == len(spoken):
        missing.append(" ".join(parts))
        at = 0
    else:
        at += 1
silent = [l for l in lines if "内堀通り" in l]
if missing or silent:
    for m in missing:
        print("demo-test: missing, or out of order:", m)
    for s in silent:
        print("demo-test: the silent camera spoke:", s)
    sys.exit(1)
print("demo-test: every expected announcement, in order, and no word from the silent camera")
PY
