#!/usr/bin/env bash
# Inside the sandbox for sv-demo: lays out the tool's files as the package
# installs them (translations, themes, page hints, window icon), then runs
# the tool on the caller's display or on a virtual screen with screenshots.
set -euo pipefail
build="$SV_BINARY_DIR"
cmake --install "$build" --component runtime >/dev/null

cat <<INFO
Sarvelin key on the simulated rescue medium
  disks:      $(lsblk -d | grep disk | awk '{print $1}' | tr '\n' ' ')(installed system on sda2)
  scenario:   $SV_SCENARIO
  key password "key-secret"; client passwords "web01-secret", "db01-secret", "mail01-secret"
  any server address connects; the stand-ins log to /opt/sarvelin/standins/ inside
INFO

if [ -n "${SV_DEMO_DISPLAY:-}" ]; then
  export DISPLAY="$SV_DEMO_DISPLAY"
  unset QT_QPA_PLATFORM
  exec "$SV_DEMO_BIN"
fi

# No display: a virtual screen and a picture of it every few seconds.
display=":42"
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 100); do
  [ -S "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.05
done
export DISPLAY="$display"
export QT_QPA_PLATFORM=xcb
shot="$SV_DEMO_SHOTS/screen.png"
(
  while kill -0 "$xvfb" 2>/dev/null; do
    if import -display "$display" -window root "$SV_DEMO_SHOTS/.screen.png" 2>/dev/null; then
      mv -f "$SV_DEMO_SHOTS/.screen.png" "$shot"
    fi
    sleep "$SV_DEMO_INTERVAL"
  done
) &
shooter=$!
echo "No display here: the tool runs on a virtual screen."
echo "Its picture is saved every ${SV_DEMO_INTERVAL} s to: $shot"
echo "Open that file with an image viewer to watch it. Stop with Ctrl+C."
trap 'kill "$shooter" "$xvfb" 2>/dev/null || true; rm -f "$SV_DEMO_SHOTS/.screen.png"' EXIT
rc=0
"$SV_DEMO_BIN" || rc=$?
exit "$rc"
