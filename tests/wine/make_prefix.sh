#!/usr/bin/env bash
# Makes the Wine prefix for the player's tests: a 32-bit prefix in which .doc and .docx files
# open with the stand-in document program, and Word 2003 is registered. Usage: make_prefix.sh PREFIX STANDIN_EXE
set -euo pipefail
prefix=$(realpath -m "$1")
standin=$(realpath -m "$2")
if ! command -v wine >/dev/null || ! command -v xvfb-run >/dev/null; then
    echo "wine or xvfb-run is missing: the player's Wine tests will be skipped"
    exit 0
fi
# A Wine server left running by an earlier run of the tests still holds the old prefix and
# writes into it as it goes, so the removal is tried again for a while.
if [ -d "$prefix" ]; then
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    for _ in $(seq 50); do
        rm -rf "$prefix" 2>/dev/null && break
        sleep 0.2
    done
fi
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
mkdir -p "$prefix"
# Wine finds fonts through fontconfig and records them in the prefix; shown only Wine's own
# fonts, a font of this computer that a test embeds is new to Wine.
cat > "$prefix/fonts.conf" <<'CONF'
<?xml version="1.0"?>
<fontconfig>
  <dir>/usr/share/wine/fonts</dir>
  <cachedir prefix="xdg">fontconfig</cachedir>
</fontconfig>
CONF
export FONTCONFIG_FILE=$prefix/fonts.conf
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# No display is needed to make the prefix, but Wine asks for one.
xvfb-run -a wineboot -i
command="\"Z:${standin//\//\\}\" \"%1\""
for extension in .doc .docx; do
    wine reg add "HKCR\\$extension" /ve /d QuorlixStandIn.Document /f
done
wine reg add 'HKCR\QuorlixStandIn.Document\shell\open\command' /ve /d "$command" /f
# Word 2003 as far as the registry tells: an output that asks for a later Word refuses to open.
wine reg add 'HKCR\Word.Application\CurVer' /ve /d Word.Application.11 /f
wineserver -w
touch "$prefix/.quorlix-ready"
