#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# Usage: sudo scripts/test.sh        (SV_BUILD_DIR overrides the build folder)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
build="${SV_BUILD_DIR:-$root/build}"
jobs="$(nproc)"

cmake -S "$root" -B "$build" -G Ninja
cmake --build "$build" -j"$jobs"

cd "$build"
ctest --output-on-failure -j"$jobs"

# The backend library's libFuzzer targets need clang: a second build tree,
# only the fuzz targets built, each run for a bounded time (a crash fails).
fuzz="${SV_FUZZ_BUILD_DIR:-$root/build-fuzz}"
cmake -S "$root" -B "$fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DSV_BUILD_FUZZERS=ON
cmake --build "$fuzz" -j"$jobs" --target sv_fuzzers
cd "$fuzz"
ctest --output-on-failure -L fuzz
