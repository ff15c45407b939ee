#!/usr/bin/env bash
# Start-up benchmark, run by hand: time from process start to the browser
# window's first paint under Xvfb, and peak memory, against a bare Qt window
# with a tree, a table and a line edit, both measured in the same run.
# Default preferences over a copy of the demo home (catalogues present, none
# selected). Both programs print "first-paint-ms N" when started with
# QVMB_EXIT_AFTER_FIRST_PAINT=<start time, ns since the epoch> and quit.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]   (BUILD_DIR configured with -DQVMB_BUILD_BENCH=ON)
set -euo pipefail
# As on a desktop, the programs find a session bus (a private one here).
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    exec dbus-run-session -- "$0" "$@"
fi
cd "$(dirname "$0")/.."
build="$(cd "${1:-build}" && pwd)"
runs="${2:-10}"
app="$build/app/QVMediaBrowserApp"
bare="$build/bench/bare_window"
for program in "$app" "$bare"; do
    [ -x "$program" ] || { echo "missing $program (build with -DQVMB_BUILD_BENCH=ON)" >&2; exit 1; }
done

work="$(mktemp -d)"
xvfb=""
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A private copy of the demo home with no preferences file: default preferences,
# and no running copy of the program on the same home to hand the start to.
tools/make-demo-home /tmp/demo-home >/dev/null
cp -a /tmp/demo-home "$work/home"
rm -rf "$work/home/.config" "$work/home/.cache"
mkdir -p "$work/home/.config" "$work/home/.cache"

display=77
while [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# measure NAME PROGRAM: one run; appends "ms kb" to $work/NAME.
measure() {
    local out
    out="$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=":$display" HOME="$work/home" \
        XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache" \
        QVMB_EXIT_AFTER_FIRST_PAINT="$(date +%s%N)" \
        /usr/bin/time -f 'max-rss-kb %M' -o "$work/rss" timeout 20 "$2" 2>/dev/null)"
    local ms kb
    ms="$(sed -n 's/^first-paint-ms //p' <<<"$out")"
    kb="$(sed -n 's/^max-rss-kb //p' "$work/rss")"
    [ -n "$ms" ] || { echo "$1: no first paint reported" >&2; exit 1; }
    echo "$ms $kb" >>"$work/$1"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One unmeasured start each warms the file cache, then the two alternate.
measure warmup "$bare"
measure warmup "$app"
for _ in $(seq "$runs"); do
    measure bare "$bare"
    measure app "$app"
done

printf '%-22s %16s %14s   (median of %s runs)\n' program first-paint-ms peak-rss-MB "$runs"
for name in bare app; do
    ms="$(cut -d' ' -f1 "$work/$name" | median)"
    mb="$(cut -d' ' -f2 "$work/$name" | median | awk '{ printf "%.1f", $1 / 1024 }')"
    printf '%-22s %16s %14s\n' "$name" "$ms" "$mb"
    eval "${name}_ms=$ms ${name}_mb=$mb"
done
awk -v a="$app_ms" -v b="$bare_ms" -v am="$app_mb" -v bm="$bare_mb" \
    'BEGIN { printf "ratio                  %15.2fx %13.2fx   (targets: 3x time, 2.5x memory)\n", a / b, am / bm }'
