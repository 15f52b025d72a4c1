#!/usr/bin/env bash
# The demo in short for the end-to-end stage: scripts/demo watching the guided
# drive at 8 times real time; fails when the timeline lacks an expected
# announcement (in order) or has the camera that must stay silent, or when an
# announcement was made elsewhere than `tabiro-inspect replay` makes it along
# the same drive: farther from it than the car goes in one fix of the
# toolbar's position reader (400 ms, at 8 times real time 3.2 s of the drive).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
speed=8

DEMO_WATCH=1 DEMO_REPLAY_SPEED=$speed DEMO_SECONDS=90 scripts/demo
ninja -C build/win tabiro-inspect >/dev/null
# shellcheck source=scripts/lib/wine-env.sh
source scripts/lib/wine-env.sh
wine_env_export
win() { winepath -w "$1" 2>/dev/null; }
wine build/win/tools/inspect/tabiro-inspect.exe replay "$(win data/sample-drive.nyp)" \
  "$(win data/sample-drive.pot)" "$(win data/sample-drive.nmea)" --profile "$(win data/sample-drive.ini)" \
  2>/dev/null | iconv -f CP932 -t UTF-8 >build/demo/replay.txt
wineserver -k >/dev/null 2>&1 || true
python3 - build/demo/timeline.txt build/demo/replay.txt "$speed" <<'PY'
import re
import sys
lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
replayed = open(sys.argv[2], encoding="utf-8").read().splitlines()
speed = float(sys.argv[3])
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
# Where each announcement was made: replay's distance against the demo's at
# the position the toolbar had read last when the announcement's chime began
# (the phrase follows the chime).
reader_s = 0.4 * speed  # drive seconds between two readings of the status bar
fired = {}
for l in replayed:
    m = re.search(r'(地点|オービス) (\d+) "[^"]*"  (\d+) m  時速 (\d+) km', l)
    if m:
        fired[(m.group(1), m.group(2))] = (int(m.group(3)), int(m.group(4)))
said = {}
for l in spoken:
    m = re.search(r'(地点|オービス) (\d+) "[^"]*" まで (\d+) m（チャイムの時に読んでいた位置から (\d+) m）', l)
    if m:
        said.setdefault((m.group(1), m.group(2)), (int(m.group(3)), int(m.group(4))))
apart = []
print("demo-test: announcement   replay   demo at the phrase   demo at the chime's reading   one fix")
for key, (d, kmh) in fired.items():
    fix_m = kmh / 3.6 * max(1.0, reader_s) + 1
    car, read = said.get(key, (None, None))
    print("demo-test: %-5s %2s  %6d m   %6s m   %6s m   %5.0f m" % (key[0], key[1], d, car, read, fix_m))
    if read is None or abs(read - d) > fix_m:
        apart.append("%s %s: replay %d m, demo %s m" % (key[0], key[1], d, read))
if missing or silent or apart:
    for m in missing:
        print("demo-test: missing, or out of order:", m)
    for s in silent:
        print("demo-test: the silent camera spoke:", s)
    for a in apart:
        print("demo-test: farther than one fix from where replay announces:", a)
    sys.exit(1)
print("demo-test: every expected announcement, in order, each within one fix of replay's place,"
      " and no word from the silent camera")
PY
