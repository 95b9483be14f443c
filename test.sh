#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Jeerforge with its tests (installing what is missing) and runs them all:
# the suite, the suite again under AddressSanitizer and UndefinedBehaviorSanitizer
# together with a bounded fuzz run, and the static checks.
set -uo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
jeerforge_install "${jeerforge_build_packages[@]}" "${jeerforge_test_packages[@]}" "${jeerforge_check_packages[@]}" || exit 1

status=()
stage() { # name, then the command
    local name=$1
    shift
    echo "=== $name"
    if "$@"; then status+=("$name: ok"); else status+=("$name: FAILED"); fi
}
suite() { # preset
    cmake --preset "$1" >/dev/null && cmake --build --preset "$1" && ctest --preset "$1"
}

stage "tests" suite test
stage "tests under sanitizers, and fuzzing" suite asan
stage "static checks" scripts/static-checks.sh build/test build/asan

echo "=== summary"
printf '%s\n' "${status[@]}"
! printf '%s\n' "${status[@]}" | grep -q FAILED
