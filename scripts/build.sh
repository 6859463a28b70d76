#!/usr/bin/env bash
# Configures and builds with Ninja in ./build; arguments name the targets (default: everything).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -G Ninja
if [ $# -gt 0 ]; then
  cmake --build build --target "$@"
else
  cmake --build build
fi
