#!/bin/sh
# Installs a build into a throw-away prefix and compares the files laid out with the expected
# list ("gui: " lines only when the desktop program is built).
# Usage: install_layout.sh BUILD_DIR EXPECTED_LIST with-gui|without-gui
set -eu
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$1" --prefix "$work/prefix" > "$work/install.log"
if [ "$3" = with-gui ]; then
    sed -e 's/^gui: //' "$2" | grep -v '^#' | sort > "$work/expected"
else
    grep -v -e '^gui: ' -e '^#' "$2" | sort > "$work/expected"
fi
(cd "$work/prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) > "$work/installed"
diff -u "$work/expected" "$work/installed"
for program in "$work/prefix/bin/"*; do
    [ -x "$program" ] || { echo "not executable: $program"; exit 1; }
done
