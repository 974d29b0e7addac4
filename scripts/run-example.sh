#!/usr/bin/env bash
# Builds (preset default, in build/default) and runs the example host: a small
# C program that creates a table, inserts and names a row, attaches its own
# configuration object, lets the table save itself through it and deletes the
# table, printing what happens. Installs what the build needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh >&2
if [ ! -f build/default/build.ninja ]; then
    cmake --preset default >&2
fi
cmake --build --preset default --target uvt_example_host >&2
exec build/default/bin/uvt_example_host
