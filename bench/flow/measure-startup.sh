#!/bin/sh
# Cold start of glimmeries to the splash painted, and its resident memory
# with the splash shown, under Xvfb. Prints the median of RUNS runs.
#   bench/flow/measure-startup.sh BUILD_DIR [RUNS]
# "Shown" is the first moment the frame titled "Glimmeries" is viewable on
# the X server (the splash is its first child and paints with it), polled
# every 5 ms; it includes the polling tools' own start-up.
set -eu
BUILD=${1:?build directory}
RUNS=${2:-5}
APP="$BUILD/bin/glimmeries"
WORK=$(mktemp -d)
trap 'kill $XVFB_PID 2>/dev/null || true; rm -rf "$WORK"' EXIT
cp "$APP" "$WORK/glimmeries"
DISPLAY_NUMBER=$((90 + $$ % 100))
Xvfb ":$DISPLAY_NUMBER" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
export DISPLAY=":$DISPLAY_NUMBER"
export XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
export ALSA_CONFIG_PATH="$WORK/asound.conf"
echo 'pcm.!default { type null }' > "$ALSA_CONFIG_PATH"
sleep 1
times=""; rss=""
i=0
while [ $i -lt "$RUNS" ]; do
    start=$(date +%s%N)
    "$WORK/glimmeries" >/dev/null 2>&1 &
    pid=$!
    # The splash is up once the frame is viewable; xdotool finds it by title.
    while ! xdotool search --onlyvisible --name 'Glimmeries' >/dev/null 2>&1; do sleep 0.005; done
    end=$(date +%s%N)
    sleep 0.5
    kb=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
    kill "$pid"; wait "$pid" 2>/dev/null || true
    times="$times $(( (end - start) / 1000000 ))"
    rss="$rss $kb"
    i=$((i + 1))
done
median() { printf '%s\n' $1 | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "start to splash shown (ms): $times  median $(median "$times")"
echo "resident memory with splash (KiB): $rss  median $(median "$rss")"
