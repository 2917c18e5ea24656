#!/usr/bin/env bash
# A package source that cannot be reached fails the medium's build with a
# message that says so, within a bounded time, and writes no image: once a
# source that refuses connections (127.0.0.1:9), once one that accepts them
# and never answers (a local listener). Runs after the image was built, so
# that the tool's package is already made.
#   unreachable-source.sh SOURCE BUILD OUT
set -euo pipefail
src="$1"; build="$2"; out="$3"
rm -rf "$out"; mkdir -p "$out"

python3 - "$out/port" <<'PY' &
import socket, sys, time
s = socket.socket()
s.bind(("127.0.0.1", 0))
s.listen(16)
open(sys.argv[1], "w").write(str(s.getsockname()[1]))
held = []
while True:
    c, _ = s.accept()
    held.append(c)  # accepted, never answered
PY
listener=$!
trap 'kill "$listener" 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -s "$out/port" ] && break; sleep 0.1; done
[ -s "$out/port" ] || { echo "unreachable-source: the silent listener did not start" >&2; exit 1; }

status=0
for kind in refused silent; do
  port=9; [ "$kind" = silent ] && port="$(cat "$out/port")"
  echo "deb http://127.0.0.1:$port/debian bookworm main" > "$out/$kind.list"
  start=$SECONDS
  rc=0
  SV_MEDIUM_SOURCES="$out/$kind.list" SV_APT_TIMEOUT=5 timeout 600 \
    "$src/scripts/build-medium.sh" --rehearsal --build "$build" --cache "$out/cache-$kind" "$out/$kind.iso" \
    > "$out/$kind.log" 2>&1 || rc=$?
  took=$((SECONDS - start))
  message="$(grep '^build-medium: the package sources' "$out/$kind.log" || true)"
  echo "unreachable-source: $kind: exit $rc after $took s: ${message:-no message}"
  if [ "$rc" -ne 1 ] || [ -z "$message" ] || [ -e "$out/$kind.iso" ]; then
    echo "unreachable-source: $kind: expected a failure (exit 1) with the message and no image; log tail:" >&2
    tail -n 30 "$out/$kind.log" >&2
    status=1
  fi
done
exit "$status"
