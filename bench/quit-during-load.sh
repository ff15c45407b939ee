#!/usr/bin/env bash
# The time from Quit (Ctrl+Q, as a user quits) to the process's exit while the
# real program reads a large iTunes library, measured from outside under Xvfb;
# fails when the program is still running ten seconds after Quit.
# Usage: bench/quit-during-load.sh [BUILD_DIR] [TRACKS] [CATALOGUE]
#   TRACKS defaults to 1000000; CATALOGUE defaults to the benchmarks' generated
#   million-track library when it is there.
set -euo pipefail
cd "$(dirname "$0")/.."
tracks="${2:-1000000}"
catalogue="${3:-/tmp/qvmb-bench/itunes-$tracks.xml}"
if [ -f "$catalogue" ]; then
    export PING_CATALOGUE="$catalogue"
fi
PING_QUIT=1 PING_SECONDS=4 exec bench/ping-probe.sh "${1:-build}" "$tracks"
