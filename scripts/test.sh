#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Usage: sudo scripts/test.sh        (SV_BUILD_DIR overrides the build folder)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/check-format.sh"
build="${SV_BUILD_DIR:-$root/build}"
jobs="$(nproc)"

# The rescue medium's build and its QEMU boot tests run last, after everything
# else has passed; SV_MEDIUM_TESTS=0 leaves them out.
medium="$([ "${SV_MEDIUM_TESTS:-1}" = 1 ] && echo ON || echo OFF)"
cmake -S "$root" -B "$build" -G Ninja -DSV_MEDIUM_TESTS="$medium" -DSV_MEDIUM_PARALLEL_BOOTS=ON
cmake --build "$build" -j"$jobs"

cd "$build"
ctest --output-on-failure -j"$jobs" -LE medium

# The walks through the real pages again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer: only the walk tests (label "walk") and what
# they run (the stand-ins). Sanitizer findings are fatal; leak checking is
# off, since Qt and fontconfig keep process-lifetime allocations on purpose.
asan="${SV_ASAN_BUILD_DIR:-$root/build-asan}"
cmake -S "$root" -B "$asan" -G Ninja -DSV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build "$asan" -j"$jobs" --target tst_restore_hazards tst_backup_hazards \
  tst_sandbox_host_state sarvelin_client sv_archives sv_keyclientd svfd
(
  cd "$asan"
  export ASAN_OPTIONS="detect_leaks=0:halt_on_error=1:abort_on_error=1:detect_stack_use_after_return=0"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  ctest --output-on-failure -L walk
)

# The backend library's libFuzzer targets need clang: a second build tree,
# only the fuzz targets built, each run for a bounded time (a crash fails).
fuzz="${SV_FUZZ_BUILD_DIR:-$root/build-fuzz}"
cmake -S "$root" -B "$fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DSV_BUILD_FUZZERS=ON
cmake --build "$fuzz" -j"$jobs" --target sv_fuzzers
cd "$fuzz"
ctest --output-on-failure -L fuzz

# The rescue medium: the image and the virtual disks side by side, then the
# three boots at once rather than one after the other.
if [ "$medium" = ON ]; then
  cd "$build"
  ctest --output-on-failure -j3 -L medium
fi
