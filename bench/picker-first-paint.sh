#!/usr/bin/env bash
# Time from the desktop portal's OpenFile to the first paint of the browser's
# picker, against the GTK backend's chooser for the same request in the same
# run (bench/picker_first_paint.py). Run by hand; needs xdg-desktop-portal,
# xdg-desktop-portal-gtk, python3-xlib and python3-gi (tools/setup).
# Usage: bench/picker-first-paint.sh [BUILD_DIR] [ROUNDS]   (ROUNDS: requests per chooser, the first cold)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build}" && pwd)"
[ -x "$build/app/QVMediaBrowserApp" ] || { echo "missing $build/app/QVMediaBrowserApp" >&2; exit 1; }
export QVMB_DEMO_HOME="${QVMB_DEMO_HOME:-/tmp/demo-home}"
tools/make-demo-home "$QVMB_DEMO_HOME" >/dev/null
QVMB_BUILD_DIR="$build" PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 bench/picker_first_paint.py "${2:-6}"
