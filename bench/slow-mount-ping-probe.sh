#!/usr/bin/env bash
# Measures from outside, as a window manager would, how long the real program
# leaves its window unanswered while it opens a folder of 10,000 pictures on
# a slow mount and scrolls it: the folder is served through bench/SlowMountFs.cpp
# (built here), a FUSE pass-through that waits 20 ms before every request
# (open, folder read, attributes), mounted as the home's Pictures folder;
# under Xvfb with no window manager, bench/ping_probe.py pings the browser
# window every 10 ms. Run by hand as root or where /dev/fuse and fusermount3
# are usable; needs libfuse3-dev, python3-xlib, xdotool and ffmpeg.
# Usage: [PING_SHOTS=DIR] [SLOW_MS=20] bench/slow-mount-ping-probe.sh [BUILD_DIR] [PICTURES]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build}" && pwd)"
count="${2:-10000}"
delay="${SLOW_MS:-20}"
app="$build/app/QVMediaBrowserApp"
[ -x "$app" ] || { echo "missing $app" >&2; exit 1; }

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    fusermount3 -u -z "$work/home/Pictures" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The pass-through, built from its source.
c++ -std=c++20 -O2 bench/SlowMountFs.cpp $(pkg-config --cflags --libs fuse3) -o "$work/qvmb-slow-mount"

# $count small pictures in 16 colourings, kept between runs.
pictures="/tmp/qvmb-bench/slow-mount-pictures-$count"
if [ ! -f "$pictures/.complete" ]; then
    rm -rf "$pictures"
    mkdir -p "$pictures/.work"
    ffmpeg -loglevel error -nostdin -f lavfi -i "testsrc2=size=160x120:rate=1" -frames:v 16 -q:v 4 \
        "$pictures/.work/%02d.jpg"
    python3 - "$pictures" "$count" <<'PY'
import os, sys
directory, count = sys.argv[1], int(sys.argv[2])
variants = [open(os.path.join(directory, ".work", "%02d.jpg" % (v + 1)), "rb").read() for v in range(16)]
for i in range(count):
    with open(os.path.join(directory, "IMG_%06d.jpg" % i), "wb") as out:
        out.write(variants[i % 16])
PY
    rm -rf "$pictures/.work"
    touch "$pictures/.complete"
fi

mkdir -p "$work/home/Pictures" "$work/home/.config" "$work/home/.cache"
"$work/qvmb-slow-mount" --delay-ms "$delay" --on open,opendir,readdir,getattr "$pictures" "$work/home/Pictures" \
    2>"$work/mount.log" &
pids+=($!)
for _ in $(seq 50); do grep -q " $work/home/Pictures fuse" /proc/mounts && break; sleep 0.1; done
grep -q " $work/home/Pictures fuse" /proc/mounts || { echo "cannot mount (is /dev/fuse usable?)" >&2; cat "$work/mount.log" >&2; exit 1; }

display=87
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1400x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

"$app" >"$work/app.log" 2>&1 &
pids+=($!)
browser="$(xdotool search --sync --onlyvisible --name '^Media Browser$' | head -1)"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$browser")" # X, Y, WIDTH, HEIGHT

probe() { # SECONDS, while what follows runs
    /usr/bin/python3 bench/ping_probe.py "$browser" "$1" >"$work/ping" &
    probe=$!
}
report() { # LABEL SHOT
    wait "$probe"
    echo "$1:"
    cat "$work/ping"
    [ -n "${PING_SHOTS:-}" ] && import -window root "$PING_SHOTS/$2.png" || true
}

probe 1
report "idle" idle
# The Pictures tab's outline: its first row, the slow Pictures folder.
probe 6
sleep 0.3
xdotool mousemove $((X + 72)) $((Y + 48)) click 1
sleep 1
[ -n "${PING_SHOTS:-}" ] && import -window root "$PING_SHOTS/one-second.png" || true
report "while the $count pictures on the slow mount are opened" opened
# The program writes what it drew to the shared thumbnail cache: none there
# means no cell was drawn, and the figures above mean nothing.
drawn=$(find "$work/home/.cache/thumbnails" -name '*.png' 2>/dev/null | wc -l)
[ "$drawn" -gt 0 ] || { echo "no picture was drawn" >&2; exit 1; }
echo "pictures drawn and cached: $drawn"
# The grid flung through: a wheel step every 10 ms, over the grid.
probe 6
sleep 0.3
xdotool mousemove $((X + WIDTH * 2 / 3)) $((Y + HEIGHT / 2)) click --repeat 400 --delay 10 5
report "while the grid is flung through" flung
kill -0 "${pids[-1]}" || { echo "the program ended" >&2; exit 1; }
