#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the language settings that the tests print under into a folder of
# their own, for LOCPATH: no root, no change to the machine's locales.
# Usage: make_locales.sh DIR LOCALE... (e.g. de_DE.UTF-8)
set -euo pipefail
dir=$1
shift
mkdir -p "$dir"
for locale in "$@"; do
    [ -e "$dir/$locale/LC_NUMERIC" ] && continue
    # localedef says where a locale's source bends the rules (exit 1) and writes it all the same.
    localedef -c -i "${locale%%.*}" -f "${locale#*.}" "$dir/$locale" || [ -e "$dir/$locale/LC_NUMERIC" ]
done
