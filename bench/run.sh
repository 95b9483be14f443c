#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Jeerforge's benchmarks in Release (installing what is missing) and
# prints their figures as one table. Takes a few minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/setup.sh
jeerforge_install "${jeerforge_build_packages[@]}" "${jeerforge_test_packages[@]}" "${jeerforge_check_packages[@]}" \
    "${jeerforge_bench_packages[@]}"
jeerforge_configure build/bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DJEERFORGE_BENCHMARKS=ON >/dev/null
cmake --build build/bench -j2 >/dev/null
bin=build/bench/bench
results=$(mktemp)
trap 'rm -f "$results"' EXIT

echo "Composing (Google Benchmark, median of 5 repetitions)..." >&2
"$bin/jeerforge_compose_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null | awk -F, '
    $1 ~ /_median"?$/ { gsub(/"/, "", $1); sub(/_median$/, "", $1); ns[$1] = $4 }
    END {
        printf "| NextInsult, a whole press on the stand-in desktop | %.1f ns |\n", ns["NextInsultPress"]
        printf "| floor: joining the same five words | %.1f ns |\n", ns["ConcatenationFloor"]
        printf "| NextInsult / floor (goal at most 3) | %.2f |\n", ns["NextInsultPress"] / ns["ConcatenationFloor"]
        printf "| of which reseeding from the clock | %.1f ns |\n", ns["ReseedFromClock"]
    }' >>"$results"

echo "Pressing Next Insult through the widgets (offscreen)..." >&2
QT_QPA_PLATFORM=offscreen "$bin/jeerforge_press_bench" 2>/dev/null >>"$results"

echo "Starting up under Xvfb, against a one-dialog Qt program..." >&2
(
    source tests/system/xvfb.sh
    "$bin/startup_probe" 40 build/bench/app/jeerforge "$bin/minimal_prompt"
) >>"$results"

echo "Printing through a private cupsd..." >&2
(
    source tests/system/private_cupsd.sh
    cupsd_create && cupsd_run || exit 1
    trap cupsd_stop EXIT
    cupsd_add_capture_printer
    QT_QPA_PLATFORM=offscreen "$bin/jeerforge_print_bench" 2>/dev/null
    for presses in 20 40 100; do
        QT_QPA_PLATFORM=offscreen "$bin/jeerforge_print_bench" largest "$presses" 2>/dev/null
    done
    QT_QPA_PLATFORM=offscreen "$bin/jeerforge_print_bench" ordinary 10000 2>/dev/null
) >>"$results"

echo "Laying the largest batch out with paps and with cups-filters' texttopdf..." >&2
(
    folder=$(mktemp -d)
    trap 'rm -rf "$folder"' EXIT
    line="$(printf 'a%.0s' $(seq 2000)) $(printf 'b%.0s' $(seq 2000)) your $(printf 'c%.0s' $(seq 2000))!"
    for _ in $(seq 2000); do echo "$line"; done >"$folder/largest.txt"
    seconds() {
        local start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        awk -v from="$start" -v to="$(date +%s%N)" 'BEGIN { printf "%.2f", (to - from) / 1e9 }'
    }
    printf '| the same 2,000 lines through paps, to PostScript | %s s |\n' "$(seconds paps "$folder/largest.txt")"
    printf '| the same through texttopdf, to PDF | %s s |\n' \
        "$(seconds /usr/lib/cups/filter/texttopdf 1 bench bench 1 '' "$folder/largest.txt")"
) >>"$results"

echo "Pressing Print Results against a print service that never answers..." >&2
(
    folder=$(mktemp -d)
    python3 tests/system/silent_service.py "$folder/silent.sock" &
    trap 'kill $!; rm -rf "$folder"' EXIT
    until [ -S "$folder/silent.sock" ]; do sleep 0.1; done
    CUPS_SERVER="$folder/silent.sock" QT_QPA_PLATFORM=offscreen "$bin/jeerforge_wait_bench" 2>/dev/null
) >>"$results"

echo "| what | figure |"
echo "|---|---|"
cat "$results"
