#!/bin/sh
# Checks that the layers under SRC depend one way: app uses options, both use widgets, and
# nothing below the windows includes Qt or a window layer. Prints every include that goes the
# wrong way and fails when there is one.
src=$1
status=0

# folder, what it must not include (an extended regular expression), what that is
refuse() {
    found=$(grep -rnE "$2" "$src/$1" --include='*.h' --include='*.cpp')
    if [ -n "$found" ]; then
        echo "src/$1 includes $3:"
        echo "$found"
        status=1
    fi
}

refuse widgets '^#include "(app|options)/' 'a layer above it'
refuse options '^#include "app/' 'the window layer above it'
for core in package conversion platform imaging signing cli; do
    refuse "$core" '^#include ("(app|options|widgets)/|<Q)' 'Qt or a window layer'
done
exit $status
