#!/usr/bin/env bash
# Start-up benchmark: time from process start to the first frame of the root
# page, for svkey2 (QML from the resource bundle as built, and compiled ahead
# of time) and for a minimal Qt Quick window built in the same tree.
#
#   bench/startup/run-startup.sh [BUILD_DIR] [RUNS]
#
# Runs offscreen with software rendering, each program RUNS times (default
# 15, in interleaved rounds) after one warm-up run, each run with a fresh
# empty home folder (no QML disk cache, as on a freshly booted medium), and
# prints the median of each and the ratio to the minimal window. Nothing outside the
# temporary home folders is written.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build}"
runs="${2:-15}"
cmake --build "$build" --target bench_startup_minimal bench_startup_svkey2 bench_startup_svkey2_aot >/dev/null

export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software QT_QPA_OFFSCREEN_NO_GLX=1
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# One run: milliseconds from just before exec to the first frame.
measure() {
  local program="$1" home line start
  home="$(mktemp -d "$scratch/home.XXXXXX")"
  start="$(date +%s.%N)"
  line="$(HOME="$home" "$program" 2>/dev/null | grep -m1 '^FIRST_FRAME' || true)"
  [ -n "$line" ] || { echo "no first frame from $program" >&2; exit 1; }
  awk -v s="$start" -v e="${line#FIRST_FRAME }" 'BEGIN { printf "%.1f\n", (e - s) * 1000 }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Rounds interleave the programs, so that a change of load on the machine
# hits all of them alike.
names=(minimal svkey2 svkey2_aot)
declare -A result times
for name in "${names[@]}"; do
  measure "$build/bench/startup/bench_startup_$name" >/dev/null   # warm-up: file and font caches
done
for _ in $(seq "$runs"); do
  for name in "${names[@]}"; do
    times[$name]+="$(measure "$build/bench/startup/bench_startup_$name") "
  done
done
for name in "${names[@]}"; do
  result[$name]="$(printf '%s\n' ${times[$name]} | median)"
  printf '%-12s runs: %s\n' "$name" "${times[$name]}"
done

printf '\nmedian ms to first frame (%s runs each)\n' "$runs"
printf '  minimal Qt Quick window   %8s\n' "${result[minimal]}"
printf '  svkey2                    %8s   ratio %.2f\n' "${result[svkey2]}" \
  "$(awk -v a="${result[svkey2]}" -v b="${result[minimal]}" 'BEGIN { print a / b }')"
printf '  svkey2, QML compiled      %8s   ratio %.2f\n' "${result[svkey2_aot]}" \
  "$(awk -v a="${result[svkey2_aot]}" -v b="${result[minimal]}" 'BEGIN { print a / b }')"
