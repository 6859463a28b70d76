#!/usr/bin/env bash
# Installs what is needed, builds, creates a demo database in ./run when there is none, and starts the
# program there. Arguments go to the program (for example --database server:VARNEL2013.FDB).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh varnel varnel-initdb

if [ ! -e run/VARNEL2013.FDB ]; then
  ./build/varnel-initdb run --demo
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: start this from a desktop session (or try: xvfb-run bash scripts/run.sh)." >&2
  exit 1
fi
cd run
exec ../build/varnel "$@"
