#!/usr/bin/env bash
# Measures from outside, as a window manager would, how long the real program
# leaves its window unanswered while it opens a large iTunes library: under
# Xvfb with no window manager, bench/ping_probe.py pings the browser window
# every 10 ms while the music tab's iTunes folder is selected, and prints the
# longest wait. Run by hand; needs python3-xlib and xdotool.
# Usage: [PING_TYPE=TEXT] [PING_SORT=1] [PING_QUIT=1] [PING_CATALOGUE=FILE] bench/ping-probe.sh [BUILD_DIR] [TRACKS]
#   TRACKS defaults to 100000; PING_CATALOGUE uses FILE instead of a generated library.
#   PING_SORT=1 clicks the Name header one second into the load.
#   PING_QUIT=1 presses Ctrl+Q two seconds into the load, prints the time to the
#   process's exit and fails when the program is still running ten seconds later.
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build}" && pwd)"
tracks="${2:-100000}"
app="$build/app/QVMediaBrowserApp"
[ -x "$app" ] || { echo "missing $app" >&2; exit 1; }

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A home with nothing but a generated iTunes library of $tracks tracks.
catalogue="${PING_CATALOGUE:-/tmp/qvmb-bench/ping-itunes-$tracks.xml}"
if [ ! -f "$catalogue" ]; then
    mkdir -p /tmp/qvmb-bench
    python3 - "$catalogue" "$tracks" <<'PY'
import sys
path, count = sys.argv[1], int(sys.argv[2])
with open(path + ".tmp", "w") as out:
    out.write('<?xml version="1.0" encoding="UTF-8"?>\n<plist version="1.0">\n<dict>\n<key>Tracks</key><dict>\n')
    for i in range(1, count + 1):
        out.write('<key>%d</key><dict><key>Track ID</key><integer>%d</integer><key>Name</key><string>Song %d of the night</string>'
                  '<key>Artist</key><string>Artist %d</string><key>Total Time</key><integer>%d</integer>'
                  '<key>Location</key><string>file://localhost/Music/Artist%%20%d/Song%%20%d.m4a</string></dict>\n'
                  % (i, i, i, i % 900, 180000 + i, i % 900, i))
    out.write('</dict>\n<key>Playlists</key><array>\n<dict><key>Name</key><string>Library</string><key>Master</key><true/>'
              '<key>Playlist Items</key><array>\n')
    for i in range(1, count + 1):
        out.write('<dict><key>Track ID</key><integer>%d</integer></dict>\n' % i)
    out.write('</array></dict>\n</array>\n</dict>\n</plist>\n')
import os
os.rename(path + ".tmp", path)
PY
fi
mkdir -p "$work/home/Music/iTunes" "$work/home/.config" "$work/home/.cache"
ln -s "$catalogue" "$work/home/Music/iTunes/iTunes Music Library.xml"

display=87
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

"$app" >"$work/app.log" 2>&1 &
app_pid=$!
pids+=($app_pid)
browser="$(xdotool search --sync --onlyvisible --name '^Media Browser$' | head -1)"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$browser")" # X, Y, WIDTH, HEIGHT

echo "idle:"
/usr/bin/python3 bench/ping_probe.py "$browser" 1
# The Music tab (the middle segment of the tab bar), then the outline's
# iTunes row (the outline's first row), while pinging.
/usr/bin/python3 bench/ping_probe.py "$browser" "${PING_SECONDS:-6}" >"$work/ping" &
probe=$!
sleep 0.3
xdotool mousemove $((X + WIDTH / 2)) $((Y + 18)) click 1
sleep 0.2
xdotool mousemove $((X + 72)) $((Y + 48)) click 1
if [ -n "${PING_SORT:-}" ]; then
    # The tracks table's Name header, right of the outline.
    sleep 1
    xdotool mousemove $((X + ${PING_HEADER_X:-64})) $((Y + ${PING_HEADER_Y:-192})) click 1
fi
if [ -n "${PING_QUIT:-}" ]; then
    sleep 2
    kill -0 "$app_pid" || { echo "the program had exited before Quit" >&2; exit 1; }
    xdotool key --window "$browser" ctrl+q
    quit_at=$(date +%s%N)
    for _ in $(seq 1000); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.01
    done
    if kill -0 "$app_pid" 2>/dev/null; then
        echo "the program is still running 10 s after Quit" >&2
        exit 1
    fi
    wait "$app_pid" || true
    echo "Quit to exit during the load of $tracks tracks: $(( ($(date +%s%N) - quit_at) / 1000000 )) ms"
    kill "$probe" 2>/dev/null || true
    exit 0
fi
# PING_SHOTS=DIR keeps a screenshot while loading and one after.
if [ -n "${PING_SHOTS:-}" ]; then
    sleep 0.4
    import -window root "$PING_SHOTS/loading.png"
fi
wait "$probe"
echo "while the library of $tracks tracks loads:"
cat "$work/ping"
if [ -n "${PING_SHOTS:-}" ]; then
    import -window root "$PING_SHOTS/loaded.png"
fi
# PING_TYPE=TEXT then types TEXT into the search field, a key every 50 ms,
# and deletes it again, while pinging.
if [ -n "${PING_TYPE:-}" ]; then
    /usr/bin/python3 bench/ping_probe.py "$browser" 4 >"$work/ping-typing" &
    probe=$!
    sleep 0.3
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT - 52)) click 1
    xdotool type --delay 50 "$PING_TYPE"
    for _ in $(seq ${#PING_TYPE}); do xdotool key --delay 50 BackSpace; done
    wait "$probe"
    echo "while typing \"$PING_TYPE\" and deleting it:"
    cat "$work/ping-typing"
fi
