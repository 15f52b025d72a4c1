#!/usr/bin/env bash
# Registers the speech stand-in in the current Wine prefix (WINEPREFIX) and
# checks that its ProgID now resolves.  Usage: register.sh path/to/speechstub.dll
set -euo pipefail
dll=${1:?usage: register.sh path/to/speechstub.dll}
[ -f "$dll" ] || { echo "register.sh: no such file: $dll" >&2; exit 1; }
export WINEDEBUG=${WINEDEBUG:--all}
wine regsvr32 /s "$(winepath -w "$dll")"
if ! wine reg query 'HKCR\TOSTTSX.TOSTTSXCtrl.1\CLSID' /ve 2>/dev/null | tr -d '\r' |
     grep -q '{5E0C3A71-8B2D-4C6F-9A14-2D7B9E3F1C58}'; then
  echo "register.sh: TOSTTSX.TOSTTSXCtrl.1 is not registered after regsvr32" >&2
  exit 1
fi
echo "register.sh: TOSTTSX.TOSTTSXCtrl.1 -> $dll"
