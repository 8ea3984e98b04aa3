#!/bin/sh
# The committed default icon file is exactly what the icon script draws.
# Usage: default_icon.sh PYTHON draw_icon.py myico.ico
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$1" "$2" "$work/drawn.ico"
cmp "$work/drawn.ico" "$3"
