#!/usr/bin/env bash
# The Windows build of `tabiro-inspect import-cameras` under Wine: statically
# linked (no DLL but Windows' own), and every format it reads (OSM XML, the
# same gzip-compressed, PBF, Overpass JSON) gives the point file the XML gives.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
ninja -C build/win tabiro-inspect >/dev/null
exe=build/win/tools/inspect/tabiro-inspect.exe
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print tolower($3) }')
for dll in $dlls; do
  case "$dll" in
    kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | ws2_32.dll | shell32.dll | ole32.dll) ;;
    *) echo "import-cameras: $exe needs $dll" >&2; exit 1 ;;
  esac
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp tests/data/cameras.osm tests/data/cameras.osm.pbf tests/data/cameras.json "$work/"
gzip -c tests/data/cameras.osm >"$work/cameras.osm.gz"
# shellcheck source=scripts/lib/wine-env.sh
source scripts/lib/wine-env.sh
wine_env_export
win() { winepath -w "$1" 2>/dev/null; }
status=0
for input in cameras.osm cameras.osm.gz cameras.osm.pbf cameras.json; do
  if ! wine "$exe" import-cameras "$(win "$work/$input")" "$(win "$work/$input.pot")" 2>"$work/err.txt"; then
    echo "import-cameras: $input refused:" >&2
    iconv -f CP932 -t UTF-8 "$work/err.txt" >&2
    status=1
  elif ! cmp -s "$work/$input.pot" "$work/cameras.osm.pot"; then
    echo "import-cameras: $input gives other cameras than the XML:" >&2
    diff <(iconv -f CP932 -t UTF-8 "$work/cameras.osm.pot") <(iconv -f CP932 -t UTF-8 "$work/$input.pot") >&2 || true
    status=1
  fi
done
wineserver -k >/dev/null 2>&1 || true
[ "$status" = 0 ] && echo "import-cameras: XML, gzip, PBF and Overpass JSON give the same $(grep -c . "$work/cameras.osm.pot") cameras"
exit "$status"
