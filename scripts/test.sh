#!/usr/bin/env bash
# Installs what is needed, builds everything and runs all tests; CTest prints its summary at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure
