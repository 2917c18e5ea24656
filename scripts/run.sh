#!/usr/bin/env bash
# Builds the tool and runs it.
#  - On a real rescue medium (os-release says "Sarvelin key" and no sandbox is
#    wanted) the tool starts directly.
#  - Anywhere else it starts on the simulated rescue medium (sandbox/), under
#    Xvfb when there is no display.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${SV_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j"$(nproc)" --target svkey2 sv_keyclientd sarvelin_client sv_archives svfd

pretty="$(. /etc/os-release 2>/dev/null; echo "${PRETTY_NAME:-}")"
if [ "$pretty" = "Sarvelin key" ] && [ -z "${SV_FORCE_SANDBOX:-}" ]; then
  exec "$build/svkey2/svkey2"
fi
exec "$root/sandbox/sv-demo" "$build/svkey2/svkey2"
