#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Jeerforge (installing what is missing) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
jeerforge_install "${jeerforge_build_packages[@]}"
jeerforge_configure build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build build/release -j2
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Jeerforge is built (build/release/app/jeerforge) but there is no display to show it on." >&2
    exit 1
fi
exec build/release/app/jeerforge
