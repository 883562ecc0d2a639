#!/usr/bin/env bash
# Runs the program against the simulated adapter for a long drive and reports its memory at
# the start (after a warm-up) and at the end, and the number of exchanges. Fails when the
# resident memory grew by more than the limit, or when the trip did not reach the log.
#   scripts/soak.sh [--seconds N] [--fast] [--time-scale X] [--max-growth-kb K] [--build DIR]
#     --seconds N       length of the drive (default 3600)
#     --fast            no pacing: as many exchanges as the program can take
#     --max-growth-kb   allowed growth of the resident set after warm-up (default 1024)
#     --time-scale X    run the driving scenario X times faster (default 1)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="$ROOT/build"
SECONDS_TOTAL=3600
FAST=0
MAX_GROWTH_KB=1024
TIME_SCALE=1
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) SECONDS_TOTAL=$2; shift 2 ;;
        --fast) FAST=1; shift ;;
        --max-growth-kb) MAX_GROWTH_KB=$2; shift 2 ;;
        --build) BUILD=$2; shift 2 ;;
        --time-scale) TIME_SCALE=$2; shift 2 ;;
        *) echo "soak: unknown option $1" >&2; exit 2 ;;
    esac
done

WORK=$(mktemp -d)
SIM_PID=""
APP_PID=""
cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

pacing=(--baud 38400 --latency 15)
[ "$FAST" = 1 ] && pacing=()
"$BUILD/elmsim" --link "$WORK/elm327" --scenario drive --time-scale "$TIME_SCALE" --log-requests "${pacing[@]}" < /dev/null \
    | awk '/^REQ /{n++} END{print n+0 > "'"$WORK/requests"'"}' &
SIM_PID=$(pgrep -n -f "elmsim --link $WORK/elm327" || true)
for _ in $(seq 1 50); do [ -e "$WORK/elm327" ] && break; sleep 0.1; done

printf 'port=%s\r\nbaud=38400\r\nskins=\r\nv=2300\r\nh=75\r\nMapMaf=MAP\r\nprotocol=Automatic\r\nFuelTank=65\r\nKSpeed=1.00\r\nEngineWarm=0.00\r\nFastPull=0\r\nMode21=0\r\nPause=200\r\n' \
    "$WORK/elm327" > "$WORK/Tachora.ini"
(cd "$WORK" && QT_QPA_PLATFORM=offscreen TACHORA_RUNTIME_DIR="$WORK/rt" exec "$BUILD/tachora" 2> "$WORK/stderr") &
APP_PID=$!

rss() { awk '/^VmRSS:/{print $2}' "/proc/$APP_PID/status"; }
warmup=$(( SECONDS_TOTAL / 10 )); [ "$warmup" -lt 5 ] && warmup=5
sleep "$warmup"
rss_start=$(rss)
sleep $(( SECONDS_TOTAL - warmup ))
rss_end=$(rss)

kill -TERM "$APP_PID"
wait "$APP_PID" && app_status=0 || app_status=$?
APP_PID=""
kill -TERM "$SIM_PID" 2>/dev/null || true
wait 2>/dev/null || true
SIM_PID=""
exchanges=$(cat "$WORK/requests" 2>/dev/null || echo 0)
trips=$(sqlite3 "$WORK/Tachora.cds" 'SELECT COUNT(*) FROM MainTable' 2>/dev/null || echo 0)
growth=$(( rss_end - rss_start ))

echo "soak: ${SECONDS_TOTAL} s, ${exchanges} exchanges ($(( exchanges / SECONDS_TOTAL ))/s)," \
     "memory ${rss_start} kB after warm-up, ${rss_end} kB at the end (${growth} kB)," \
     "exit ${app_status}, ${trips} trip record(s)"
status=0
[ "$app_status" = 0 ] || { echo "soak: the program did not end cleanly" >&2; cat "$WORK/stderr" >&2; status=1; }
[ "$growth" -le "$MAX_GROWTH_KB" ] || { echo "soak: memory grew by ${growth} kB" >&2; status=1; }
[ "$exchanges" -gt 0 ] || { echo "soak: no exchange took place" >&2; status=1; }
[ "$trips" -ge 1 ] || { echo "soak: the trip did not reach the log" >&2; status=1; }
exit $status
