#!/usr/bin/env bash
# Sets up what is missing, builds, and opens a guide in the program's window:
# the demo guide in guides/demo, or the guide directory given as argument.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup-deps
scripts/build release

guide="${1:-guides/demo}"
exec build/release/app/mapfolio "$guide"
