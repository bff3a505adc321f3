#!/bin/sh
# The whole program's CPU share on the virtual analyser under Xvfb, idle and connected (LFA tab, no
# pair), and a screenshot of the screen. Usage: bench/demo_cpu.sh [kv847 binary] [shot.png] [seconds]
set -e
BIN="${1:-build/kv847}"
SHOT="${2:-/tmp/kv847-demo.png}"
SECONDS_MEASURED="${3:-10}"
DISPLAY_NUM=":$((90 + $$ % 9))"
Xvfb "$DISPLAY_NUM" -screen 0 1280x1024x24 >/dev/null 2>&1 &
XVFB=$!
trap 'kill $APP 2>/dev/null; kill $XVFB 2>/dev/null' EXIT
sleep 1
DISPLAY="$DISPLAY_NUM" QT_QPA_PLATFORM=xcb "$BIN" --demo 2>/dev/null &
APP=$!
sleep 6 # start-up and connection
ticks() { awk '{print $14 + $15}' "/proc/$APP/stat"; }
HZ=$(getconf CLK_TCK)
T0=$(ticks)
sleep "$SECONDS_MEASURED"
T1=$(ticks)
DISPLAY="$DISPLAY_NUM" xwd -root -silent | convert xwd:- "$SHOT"
awk -v d="$((T1 - T0))" -v hz="$HZ" -v s="$SECONDS_MEASURED" \
    'BEGIN { printf "kv847 --demo idle connected: %.2f%% of one core over %d s\n", 100 * d / hz / s, s }'
