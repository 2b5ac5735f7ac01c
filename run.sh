#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the program's main job on its
# guide.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup-deps
scripts/build release

guide="${1:-guides/demo}"
echo "Checking the guide in $guide:"
build/release/tools/mapfolio-tool dab check "$guide"
echo
echo "The map window is not built yet; this run checks the guide's databases."
