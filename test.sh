#!/usr/bin/env bash
# Builds the till and runs every test. Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
pos_install_packages
BUILD_DIR="${BUILD_DIR:-build}"
pos_build "$BUILD_DIR"
cd "$BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 "$@"
