#!/usr/bin/env bash
# Builds the uvt command-line tool (preset release, in build/release) when
# needed and runs it with the arguments given, for instance
#   scripts/run-tool.sh layout examples/splitter.state --inlet 2
# Installs what the build needs first; build messages go to the error stream.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh >&2
if [ ! -f build/release/build.ninja ]; then
    cmake --preset release >&2
fi
cmake --build --preset release --target uvt_cli >&2
# The tool runs where it was called from, so relative paths mean what the
# caller meant.
cd "$OLDPWD"
exec "$root/build/release/bin/uvt" "$@"
