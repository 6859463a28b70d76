#!/usr/bin/env bash
# Configures and builds with Ninja in ./build; arguments name the targets (default: everything).
set -euo pipefail
cd "$(dirname "$0")/.."

# VARNEL_WERROR=ON (as CI sets it) makes every compiler warning an error.
cmake -S . -B build -G Ninja ${VARNEL_WERROR:+-DVARNEL_WERROR=$VARNEL_WERROR}
if [ $# -gt 0 ]; then
  cmake --build build --target "$@"
else
  cmake --build build
fi
