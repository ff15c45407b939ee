#!/usr/bin/env bash
# Measures from outside, as a window manager would, how long the real program
# leaves its window unanswered while it finds a real media server (ReadyMedia),
# opens it, and while that server stops answering and is killed: under Xvfb
# with no window manager, in a network namespace of its own (nothing leaves
# the machine), bench/ping_probe.py pings the browser window every 10 ms.
# Uses the media and database the network tests made (one run of them first).
# Run by hand; needs python3-xlib, xdotool and minidlna.
# Usage: [PING_SHOTS=DIR] bench/network-ping-probe.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${QVMB_ISOLATED:-}" ]; then
    exec tests/network/run-isolated "$0" "$@"
fi
build="$(cd "${1:-build}" && pwd)"
app="$build/app/QVMediaBrowserApp"
fixture="$build/tests/network/server-v1"
[ -x "$app" ] || { echo "missing $app" >&2; exit 1; }
[ -f "$fixture/db/files.db" ] || { echo "missing $fixture: run the network tests once" >&2; exit 1; }

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -CONT "$pid" 2>/dev/null || true; kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The server, on a copy of the tests' database: it serves at once.
mkdir -p "$work/db"
cp "$fixture/db/files.db" "$work/db/"
cat >"$work/db/minidlna.conf" <<CONF
media_dir=$fixture/media
db_dir=$work/db
log_dir=$work/db
port=8291
friendly_name=Probe Server
network_interface=lo
inotify=no
notify_interval=1
CONF
/usr/sbin/minidlnad -S -f "$work/db/minidlna.conf" -P "$work/db/pid" >/dev/null 2>&1 &
server=$!
pids+=($server)
for _ in $(seq 100); do grep -q "HTTP listening" "$work/db/minidlna.log" 2>/dev/null && break; sleep 0.1; done
grep -q "HTTP listening" "$work/db/minidlna.log" || { echo "minidlnad did not start" >&2; exit 1; }

mkdir -p "$work/home/.config" "$work/home/.cache"
display=87
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display" HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
export QVMB_NETWORK_HELPER="$build/qvmb-network"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

"$app" >"$work/app.log" 2>&1 &
pids+=($!)
browser="$(xdotool search --sync --onlyvisible --name '^Media Browser$' | head -1)"
eval "$(xdotool getwindowgeometry --shell "$browser")" # X, Y, WIDTH, HEIGHT

probe() { # SECONDS LABEL, while what follows runs
    /usr/bin/python3 bench/ping_probe.py "$browser" "$1" >"$work/ping" &
    probe=$!
}
report() {
    wait "$probe"
    echo "$1:"
    cat "$work/ping"
    [ -n "${PING_SHOTS:-}" ] && import -window root "$PING_SHOTS/$2.png" || true
}

# The first seconds: the helper starts and the server is found.
probe 4
report "while the server is found" found
# The outline's first row, the server, selected and opened down to its
# folder of 5,000 pictures (Browse Folders, Pictures, Many): each folder is
# read as it opens, then the grid is filled page by page.
probe 6
sleep 0.3
xdotool mousemove $((X + 72)) $((Y + 48)) click 1
sleep 0.7
xdotool key Right
sleep 0.7
xdotool key Down Right
sleep 0.7
xdotool key Down Right
sleep 0.7
xdotool key Down Down
report "while the server is opened down to its 5,000 pictures" opened
# The grid scrolled through them, a wheel step every 20 ms.
probe 6
sleep 0.3
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click --repeat 150 --delay 20 5
report "while its pictures are scrolled" scrolled
# The server stops answering, then dies; its announcements lapse after twelve seconds.
kill -STOP "$server"
probe 4
report "while the server does not answer" stopped
kill -KILL "$server"
probe 15
report "while the server is gone and its announcements lapse" gone
