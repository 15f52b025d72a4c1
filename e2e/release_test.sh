#!/usr/bin/env bash
# The release test: builds the zip (scripts/release), unzips it into
# C:\Program Files\Tabiro2 of a fresh Wine prefix whose display is set to
# 144 DPI (150 %), and runs the Release tests of the end-to-end suite there,
# which start the toolbar from a shortcut with another working folder.
# Leaves build/win/e2e-artifacts/release-toolbar-144dpi.png to look at.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/release >/dev/null
zip=$(ls build/release/Tabiro2-*-win64.zip)

export WINEPREFIX="$root/build/win/release-prefix"
rm -rf "$WINEPREFIX"
# shellcheck source=scripts/lib/wine-env.sh
source scripts/lib/wine-env.sh
trap wine_env_cleanup EXIT
wine_env_setup
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wineserver -w

python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
  "$zip" "$WINEPREFIX/drive_c/Program Files"
echo "release-test: $(basename "$zip") unzipped into C:\\Program Files\\Tabiro2 of a fresh prefix at 144 DPI"

artifacts=build/win/e2e-artifacts
mkdir -p "$artifacts"
rm -f "$artifacts/release-toolbar.bmp"
status=0
TABIRO_RELEASE_DIR='C:\Program Files\Tabiro2' wine build/win/bin/tabiro_e2e.exe \
  --gtest_filter='ReleaseTest.*' || status=$?
if [ -f "$artifacts/release-toolbar.bmp" ]; then
  convert "$artifacts/release-toolbar.bmp" "$artifacts/release-toolbar-144dpi.png" 2>/dev/null &&
    rm -f "$artifacts/release-toolbar.bmp" &&
    echo "release-test: the toolbar at 144 DPI: $artifacts/release-toolbar-144dpi.png"
fi
exit "$status"
