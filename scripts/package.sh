#!/usr/bin/env bash
# Builds the Debian package of the program into ./dist: installs what is needed, builds the programs in
# ./build and runs CPack. Install the result with: sudo apt-get install ./dist/varnel_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh varnel varnel-initdb
rm -rf dist
cpack --config build/CPackConfig.cmake -G DEB -B "$PWD/dist"
rm -rf dist/_CPack_Packages
ls -l dist/*.deb
