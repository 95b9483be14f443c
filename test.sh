#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Jeerforge with its tests (installing what is missing) and runs them all:
# the suite under AddressSanitizer and UndefinedBehaviorSanitizer, with the
# fuzzer's corpus; beside it, the optimised build that is packaged, with the
# install, the package and valgrind's memcheck, then the static checks.
set -uo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
jeerforge_install "${jeerforge_build_packages[@]}" "${jeerforge_test_packages[@]}" "${jeerforge_check_packages[@]}" || exit 1

suite() { # preset
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1" && ctest --preset "$1"
}

echo "=== build under sanitizers"
cmake --preset asan >/dev/null && cmake --build --preset asan || { echo "build under sanitizers: FAILED"; exit 1; }

# The suite mostly waits for the program it drives, so the optimised build
# and the static checks take the processor meanwhile, at a lower priority;
# their output follows the suite's.
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
(
    nice -n 10 bash -c "$(declare -f suite); suite optimised"
    echo $? >"$results/optimised"
    nice -n 10 scripts/static-checks.sh build/asan build/optimised
    echo $? >"$results/checks"
) >"$results/beside" 2>&1 &
echo "=== tests under sanitizers, and the fuzzer's corpus"
ctest --preset asan
echo $? >"$results/suite"
wait
echo "=== optimised build, install, package and memcheck; then the static checks"
cat "$results/beside"

echo "=== summary"
failed=0
for part in "suite:tests under sanitizers, and the fuzzer's corpus" \
    "optimised:optimised build, install, package and memcheck" "checks:static checks"; do
    if [ "$(cat "$results/${part%%:*}")" = 0 ]; then
        echo "${part#*:}: ok"
    else
        echo "${part#*:}: FAILED"
        failed=1
    fi
done
exit "$failed"
