#!/usr/bin/env bash
# clang-format, cppcheck and clang-tidy over Jeerforge's own code; any finding
# fails. Needs a build folder configured with CMAKE_EXPORT_COMPILE_COMMANDS.
set -uo pipefail
build=${1:?usage: static-checks.sh BUILD-DIR}
cd "$(dirname "$0")/.."
failed=0
sources=$(git ls-files '*.cpp' '*.h')

echo "== clang-format"
if ! clang-format --dry-run --Werror $sources; then
    echo "clang-format would change the files above: run clang-format -i on them"
    failed=1
fi

echo "== cppcheck"
cppcheck --enable=warning,style,performance,portability --inline-suppr --error-exitcode=1 --std=c++20 --quiet \
    -I core -I platform -I app -I tests/support --suppress=missingIncludeSystem --suppress=unknownMacro \
    -j2 app core platform tests bench || failed=1

echo "== clang-tidy"
git ls-files '*.cpp' | xargs -P2 -n4 clang-tidy -p "$build" --quiet 2>/dev/null | grep -v '^[0-9]* warnings generated' \
    && failed=1
[ "${PIPESTATUS[1]}" -eq 0 ] || failed=1

[ "$failed" -eq 0 ] && echo "static checks: clean"
exit "$failed"
