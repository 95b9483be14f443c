#!/usr/bin/env bash
# Builds Jeerforge with its tests (installing what is missing) and runs them all.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
jeerforge_install "${jeerforge_build_packages[@]}" "${jeerforge_test_packages[@]}"
jeerforge_configure build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/test -j2
ctest --test-dir build/test -j2 --output-on-failure
