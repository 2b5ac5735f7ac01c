#!/usr/bin/env bash
# Sets up what is missing, builds, and opens a guide in the program's window:
# the demo guide in guides/demo, or the guide directory given as argument.
# ./run.sh --web builds the web flavour instead and serves it on localhost
# (MAPFOLIO_WEB_PORT, default 8000) until interrupted.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup-deps
if [ "${1:-}" = --web ]; then
  scripts/build web
  port="${MAPFOLIO_WEB_PORT:-8000}"
  echo "Mapfolio in the browser: http://localhost:$port/  (Ctrl+C stops the server)"
  exec python3 -m http.server --bind 127.0.0.1 --directory build/web/site "$port"
fi
scripts/build release

guide="${1:-guides/demo}"
exec build/release/app/mapfolio "$guide"
