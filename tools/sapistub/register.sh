#!/usr/bin/env bash
# Puts the SAPI stand-in in place of Wine's own SpVoice in the current Wine
# prefix (WINEPREFIX), with two voice tokens: "TabiroTestEn" (English, 409)
# and "TabiroTestJa" (Japanese, 411;409). Wine takes SpVoice's in-process
# server from HKLM only.
#   register.sh path/to/sapistub.dll    the stand-in in place
#   register.sh --remove                Wine's own SpVoice again
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
server='HKLM\Software\Classes\CLSID\{96749377-3391-11D2-9EE3-00C04F797396}\InprocServer32'
tokens='HKLM\SOFTWARE\Microsoft\Speech\Voices\Tokens'
if [ "${1:-}" = "--remove" ]; then
  # Wine's own server, as its prefix set-up registers it.
  wine reg add "$server" /ve /d 'C:\windows\system32\Speech\Common\sapi.dll' /f /reg:64 >/dev/null
  echo "register.sh: SpVoice -> Wine's own sapi.dll"
  exit 0
fi
dll=${1:?usage: register.sh path/to/sapistub.dll | --remove}
[ -f "$dll" ] || { echo "register.sh: no such file: $dll" >&2; exit 1; }
wine reg add "$server" /ve /d "$(winepath -w "$dll")" /f /reg:64 >/dev/null
wine reg add "$server" /v ThreadingModel /d Both /f /reg:64 >/dev/null
voice() {  # key, name, languages
  wine reg add "$tokens\\$1" /ve /d "$2" /f /reg:64 >/dev/null
  wine reg add "$tokens\\$1\\Attributes" /v Name /d "$2" /f /reg:64 >/dev/null
  wine reg add "$tokens\\$1\\Attributes" /v Language /d "$3" /f /reg:64 >/dev/null
}
voice TabiroTestEn "Tabiro Test English" 409
voice TabiroTestJa "Tabiro Test Japanese" "411;409"
if ! wine reg query "$server" /ve /reg:64 2>/dev/null | tr -d '\r' | grep -q sapistub; then
  echo "register.sh: SpVoice is not the stand-in after reg add" >&2
  exit 1
fi
echo "register.sh: SpVoice -> $dll, voices TabiroTestEn (409), TabiroTestJa (411;409)"
