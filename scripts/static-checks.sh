#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later
# reuse lint over the whole tree, then clang-format, cppcheck and clang-tidy
# over Jeerforge's own code; any finding fails. Takes the build folders whose
# compile commands cover the sources (configured with
# CMAKE_EXPORT_COMPILE_COMMANDS), e.g. build/asan build/optimised.
set -uo pipefail
[ $# -ge 1 ] || { echo "usage: static-checks.sh BUILD-DIR..."; exit 2; }
builds=("$@")
cd "$(dirname "$0")/.."
failed=0

echo "== reuse lint"
if ! lint=$(reuse lint 2>&1); then
    printf '%s\n' "$lint"
    echo "every file needs its SPDX-FileCopyrightText and SPDX-License-Identifier lines (or a .reuse/dep5 entry)"
    failed=1
fi

echo "== clang-format"
if ! git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror; then
    echo "clang-format would change the files above: run clang-format -i on them"
    failed=1
fi

echo "== cppcheck"
# Newer cppchecks also tell where they cut their branch analysis short, which is no finding.
cppcheck --enable=warning,style,performance,portability --inline-suppr --error-exitcode=1 --std=c++20 --quiet \
    -I core -I platform -I app -I tests/support --suppress=missingIncludeSystem --suppress=unknownMacro \
    --suppress=constParameterCallback --suppress=normalCheckLevelMaxBranches \
    -j2 app core platform tests bench || failed=1

echo "== clang-tidy"
# Each source is checked with the first build folder that compiles it.
tidy_list=$(mktemp)
trap 'rm -f "$tidy_list"' EXIT
for source in $(git ls-files '*.cpp'); do
    found=""
    for build in "${builds[@]}"; do
        grep -q "\"file\": \"$PWD/$source\"" "$build/compile_commands.json" 2>/dev/null && { found=$build; break; }
    done
    if [ -z "$found" ]; then
        echo "$source: no build folder compiles it"
        failed=1
    else
        echo "$found $source" >>"$tidy_list"
    fi
done
if xargs -P2 -L1 sh -c 'clang-tidy -p "$0" --quiet "$1" 2>/dev/null' <"$tidy_list" | grep -v '^[0-9]* warnings generated'; then
    failed=1
fi
[ "${PIPESTATUS[0]}" -eq 0 ] || failed=1

[ "$failed" -eq 0 ] && echo "static checks: clean"
exit "$failed"
