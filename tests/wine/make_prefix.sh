#!/usr/bin/env bash
# Makes the Wine prefix for the player's tests: a 32-bit prefix in which .doc and .docx files
# open with the stand-in document program. Usage: make_prefix.sh PREFIX STANDIN_EXE
set -euo pipefail
prefix=$1
standin=$2
if ! command -v wine >/dev/null || ! command -v xvfb-run >/dev/null; then
    echo "wine or xvfb-run is missing: the player's Wine tests will be skipped"
    exit 0
fi
rm -rf "$prefix"
mkdir -p "$(dirname "$prefix")"
mkdir -p "$prefix"
# Wine records the fonts fontconfig shows it in the prefix and loads them on every start; with
# none, a font that a test embeds is new to Wine.
printf '<?xml version="1.0"?>\n<fontconfig/>\n' > "$prefix/fonts.conf"
export FONTCONFIG_FILE=$prefix/fonts.conf
export WINEPREFIX=$prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# No display is needed to make the prefix, but Wine asks for one.
xvfb-run -a wineboot -i
command="\"Z:${standin//\//\\}\" \"%1\""
for extension in .doc .docx; do
    wine reg add "HKCR\\$extension" /ve /d QuorlixStandIn.Document /f
done
wine reg add 'HKCR\QuorlixStandIn.Document\shell\open\command' /ve /d "$command" /f
wineserver -w
touch "$prefix/.quorlix-ready"
