#!/usr/bin/env bash
# Builds the till and starts it on a demonstration shop (created the first time).
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
pos_install_packages
BUILD_DIR="${BUILD_DIR:-build}"
pos_build "$BUILD_DIR"
BIN="$PWD/$BUILD_DIR/bin"
HOME_DIR="${POS_HOME:-$BIN}"
if [ ! -f "$HOME_DIR/pos.mdb" ]; then
    # A shop that has traded for a month, so there are sales, accounts and figures to look at.
    POS_HOME="$HOME_DIR" "$BIN/pos-setup" --demo --history 30
fi
if [ ! -x "$BIN/pos" ]; then
    echo "The till program is not built yet (only pos-setup exists); the database is at $HOME_DIR/pos.mdb." >&2
    exit 1
fi
echo "登录：用户编号 001，密码 123（收银员 002，密码 123）"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display is available. Run the till under a virtual display, for example:" >&2
    echo "    xvfb-run -a -s '-screen 0 1280x800x24' ./pos.sh" >&2
    exit 1
fi
POS_HOME="$HOME_DIR" exec "$BIN/pos" "$@"
