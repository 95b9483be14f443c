#!/usr/bin/env bash
# Builds Jeerforge's benchmarks in Release (installing what is missing) and
# prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
jeerforge_install "${jeerforge_build_packages[@]}" "${jeerforge_test_packages[@]}"
jeerforge_configure build/bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DJEERFORGE_BENCHMARKS=ON
cmake --build build/bench -j2 --target jeerforge_print_bench

source tests/system/private_cupsd.sh
trap cupsd_stop EXIT
cupsd_add_capture_printer
QT_QPA_PLATFORM=offscreen build/bench/bench/jeerforge_print_bench
echo "jobs spooled: $(cupsd_wait_for_jobs)"
