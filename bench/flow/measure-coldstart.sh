#!/bin/sh
# Cold start of glimmeries to its devices screen, under X11 (Xvfb) and under
# Wayland (headless Weston), against a local game service. Prints every run
# and the median of RUNS runs for each display server.
#   bench/flow/measure-coldstart.sh BUILD_DIR [RUNS] [PACKAGE.deb]
# With a package, the program is the one `dpkg -x` unpacks from it (as
# installed under /usr); otherwise BUILD_DIR/bin/glimmeries. The service
# comes from BUILD_DIR.
# "Devices screen painted" is the moment the log records "Screen 152 first
# painted": the devices screen has painted its background into the window
# (the window system shows it with the next flush); the patcher's check of
# the content server lies before it. Each run has a fresh data directory
# (first start: movies are extracted), polled every 10 ms.
set -eu
BUILD=$(cd "${1:?build directory}" && pwd)
RUNS=${2:-5}
DEB=${3:-}
WORK=$(mktemp -d)
PIDS=""
cleanup() {
    for pid in $PIDS; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

APP="$BUILD/bin/glimmeries"
if [ -n "$DEB" ]; then
    dpkg -x "$DEB" "$WORK/root"
    APP="$WORK/root/usr/bin/glimmeries"
fi

export XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
export ALSA_CONFIG_PATH="$WORK/asound.conf"
echo 'pcm.!default { type null }' > "$ALSA_CONFIG_PATH"
export GLM_DISABLE_GPU=1
if [ "$(id -u)" = 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi

# The service on ports of its own.
HTTP=$((20000 + $$ % 20000)); HTTPS=$((HTTP + 1))
"$BUILD/bin/glimmeries-service" seed demo --data "$WORK/service" >/dev/null
"$BUILD/bin/glimmeries-service" serve --data "$WORK/service" \
    --http-port "$HTTP" --https-port "$HTTPS" >"$WORK/service.log" 2>&1 &
PIDS="$PIDS $!"
i=0; while ! grep -q '^listening' "$WORK/service.log" 2>/dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done

# One run: prints the milliseconds from start to the devices screen.
run_once() {
    dir="$WORK/app-$1"; rm -rf "$dir"; mkdir -p "$dir"
    cat >"$dir/parameters.txt" <<PARAMS
GLM_BASE_URL=https://127.0.0.1:$HTTPS/api/
GLM_PATCHER_BASE_URL=http://127.0.0.1:$HTTP/bramblemere/game/glimmeries/english/
GLM_REPORTING_URL=http://127.0.0.1:$HTTP/b/ss/glmdesktopapp/1/%s?D=glm&gn=glimmeries:desktop:%s
GLM_EXTRA_CA_FILE=$WORK/service/ca.pem
GLM_CONTENT_SIGNING_KEY_FILE=$WORK/service/signing.pub
PARAMS
    start=$(date +%s%N)
    "$APP" --app-dir "$dir" >"$dir/out.txt" 2>&1 &
    pid=$!
    n=0
    while ! grep -q 'Screen 152 first painted' "$dir/Glimmeries.log" 2>/dev/null; do
        sleep 0.01; n=$((n + 1))
        if [ $n -gt 6000 ] || ! kill -0 "$pid" 2>/dev/null; then echo "failed"; kill "$pid" 2>/dev/null; return; fi
    done
    end=$(date +%s%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo $(( (end - start) / 1000000 ))
}

median() { printf '%s\n' $1 | grep -v failed | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

measure() {
    times=""
    i=0
    while [ $i -lt "$RUNS" ]; do
        times="$times $(run_once "$1-$i")"
        i=$((i + 1))
    done
    echo "$1: start to devices screen painted (ms):$times  median $(median "$times")"
}

# X11.
DISPLAY_NUMBER=$((200 + $$ % 50))
Xvfb ":$DISPLAY_NUMBER" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
XPID=$!; PIDS="$PIDS $XPID"
i=0; while [ ! -e "/tmp/.X11-unix/X$DISPLAY_NUMBER" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i+1)); done
(export DISPLAY=":$DISPLAY_NUMBER" QT_QPA_PLATFORM=xcb; measure x11)
kill "$XPID" 2>/dev/null || true

# Wayland.
weston --backend=headless-backend.so --use-pixman --no-config --width=1280 --height=1024 \
    --socket=glm-bench >"$WORK/weston.log" 2>&1 &
WPID=$!; PIDS="$PIDS $WPID"
i=0; while [ ! -e "$XDG_RUNTIME_DIR/glm-bench" ] && [ $i -lt 100 ]; do sleep 0.05; i=$((i+1)); done
(unset DISPLAY; export WAYLAND_DISPLAY=glm-bench QT_QPA_PLATFORM=wayland; measure wayland)
