#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs Jeerforge into a temporary prefix and packs it as a .deb: every
# desktop file where desktops look, valid, and an installed program that
# starts to its first prompt. The package is hardened, lintian-silent and the
# same bytes when packed again; its program answers its command line without
# a display. Public addresses given to a build appear only then, in what it
# configures.
set -u
build=$1 sources=$2
source "$(dirname "$0")/xvfb.sh"
work=$(mktemp -d)
trap 'xvfb_stop; rm -rf "$xvfb_dir" "$work"' EXIT
id=org.jeerforge.Jeerforge
# The packaging dates the package by the last commit; without git, by this.
git -C "$sources" rev-parse 2>/dev/null || export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(date +%s)}

# Starts program $1 and waits for its first prompt.
reaches_first_prompt() {
    "$1" 2>/dev/null &
    local started=$! found=1
    window_named Jeerforge >/dev/null && found=0
    kill "$started" 2>/dev/null
    wait "$started" 2>/dev/null
    return $found
}

installed_files() { # prefix
    local expected=(bin/jeerforge share/applications/$id.desktop share/metainfo/$id.metainfo.xml
        share/icons/hicolor/scalable/apps/$id.svg share/man/man1/jeerforge.1.gz
        share/doc/jeerforge/copyright share/doc/jeerforge/changelog.gz)
    for size in 16 24 32 48 64 128 256; do
        expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
    done
    local missing=0
    for file in "${expected[@]}"; do
        [ -f "$1/$file" ] || { echo "missing: $file"; missing=1; }
    done
    return $missing
}

echo "# cmake --install"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
check "every file is where desktops look for it" installed_files "$work/prefix"
check "the desktop entry is valid" desktop-file-validate "$work/prefix/share/applications/$id.desktop"
# Whether the AppStream data $1 is valid. AppStream 1.0 also asks for a
# homepage, which a build that was given none ($2 = no-homepage) lacks.
metainfo_valid() {
    local report
    report=$(appstreamcli validate --no-net "$1") && return 0
    [ "${2:-}" = no-homepage ] && ! grep -E '^[EW]:' <<<"$report" | grep -qv url-homepage-missing ||
        { printf '%s\n' "$report"; return 1; }
}
check "the AppStream data is valid" metainfo_valid "$work/prefix/share/metainfo/$id.metainfo.xml" no-homepage
check "the desktop entry starts the program with no arguments" \
    grep -qx 'Exec=jeerforge' "$work/prefix/share/applications/$id.desktop"
check "the icon is a square SVG" grep -q 'viewBox="0 0 256 256"' "$work/prefix/share/icons/hicolor/scalable/apps/$id.svg"
check "the installed program starts to its first prompt" reaches_first_prompt "$work/prefix/bin/jeerforge"

# Whether build $1 is an optimised one, hardened and lintian-silent; the
# sanitizers' debug build is neither.
optimised() { grep -qE '^CMAKE_BUILD_TYPE:STRING=(Release|RelWithDebInfo)$' "$1/CMakeCache.txt"; }

# Whether lintian says nothing of .deb $1, even pedantic. For a build given
# no homepage ($2 = no-homepage) its AppStream check is left to metainfo_valid.
lintian_silent() {
    local said
    said=$(lintian -I --pedantic "$1" 2>&1 | grep -v '^running with root privileges')
    [ "${2:-}" = no-homepage ] && said=$(grep -v appstream-metadata-validation-failed <<<"$said")
    [ -z "$said" ] || { printf '%s\n' "$said"; return 1; }
}

# Packs build $1 as a .deb into $work/$2 and checks it; sets $deb. $3 is
# no-homepage for a build given none.
package_checks() {
    (cd "$work" && cpack -G DEB --config "$1/CPackConfig.cmake" -B "$work/$2" >/dev/null)
    deb=$(ls "$work/$2"/jeerforge_*_amd64.deb 2>/dev/null | head -n 1)
    check "$2: a .deb is made" [ -f "$deb" ]
    if optimised "$1"; then
        check "$2: lintian says nothing, even pedantic" lintian_silent "$deb" "${3:-}"
    else
        check "$2: lintian finds no error" lintian --fail-on error "$deb"
    fi
    dpkg-deb -x "$deb" "$work/$2/unpacked"
    check "$2: its AppStream data is valid" metainfo_valid "$work/$2/unpacked/usr/share/metainfo/$id.metainfo.xml" "${3:-}"
    check "$2: it is GPL-3.0-or-later" grep -qx '<project_license>GPL-3.0-or-later</project_license>' \
        <(tr -d ' ' <"$work/$2/unpacked/usr/share/metainfo/$id.metainfo.xml")
}
metainfo_urls() { grep -oE '<(url|image)[^<]*</(url|image)>' "$work/$1/unpacked/usr/share/metainfo/$id.metainfo.xml"; }

echo "# cpack -G DEB, with no public address given"
package_checks "$build" package no-homepage
contents=$(dpkg-deb -c "$deb")
for file in usr/bin/jeerforge "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
    "usr/share/icons/hicolor/scalable/apps/$id.svg" "usr/share/icons/hicolor/48x48/apps/$id.png" \
    usr/share/doc/jeerforge/copyright; do
    check "the package holds /$file" grep -q "\./$file\$" <<<"$contents"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libcups2 libpangocairo-1.0-0 'libqpdf[0-9]+ ' libc6; do
    check "it depends on $library" grep -qE "$library" <<<"$depends"
done
check "it recommends Qt's Wayland plugin and a colour emoji font" \
    grep -qE 'qt6-wayland.*fonts-noto-color-emoji' <<<"$(dpkg-deb -f "$deb" Recommends)"
# test.sh installed what the package asks for, under this release's names.
check "what it depends on and recommends is all installed here" grep -q '^0 upgraded, 0 newly installed' \
    <(apt-get satisfy -s "$depends, $(dpkg-deb -f "$deb" Recommends)" 2>/dev/null)
check "it has a maintainer and a description" [ -n "$(dpkg-deb -f "$deb" Maintainer)" -a -n "$(dpkg-deb -f "$deb" Description)" ]
check "it names no homepage" [ -z "$(dpkg-deb -f "$deb" Homepage)" ]
check "the AppStream data names no address" [ -z "$(metainfo_urls package)" ]
check "the copyright file grants GPL-3.0-or-later" grep -q '^License: GPL-3.0-or-later' "$work/package/unpacked/usr/share/doc/jeerforge/copyright"
check "the packed program starts to its first prompt" reaches_first_prompt "$work/package/unpacked/usr/bin/jeerforge"
program="$work/package/unpacked/usr/bin/jeerforge"
hardened() {
    readelf -d "$program" | grep -q BIND_NOW && readelf -h "$program" | grep -q 'Position-Independent' &&
        nm -D "$program" | grep -q __stack_chk_fail && nm -D "$program" | grep -qE '__[a-z]+_chk@' &&
        readelf -n "$program" | grep -q 'Build ID' && ! readelf -WS "$program" | grep -qE '\] \.(comment|note) '
}
optimised "$build" &&
    check "it is hardened (PIE, BIND_NOW, stack protector, fortified calls) and keeps only its build-id note" hardened
(umask 002 && cd "$work" && TZ=Asia/Kathmandu LC_ALL=C.UTF-8 cpack -G DEB --config "$build/CPackConfig.cmake" \
    -B "$work/again" >/dev/null)
check "packed again under umask 002, another time zone and locale, it is the same bytes" \
    cmp "$deb" "$work/again/$(basename "$deb")"

echo "# the command line, with no display at all"
# Runs the packed program; $1 is the exit status it must give, $2 what its
# output must say and $3 its one line on standard error ("" for nothing),
# the rest are its arguments.
answers() {
    local status=$1 out=$2 err=$3
    shift 3
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" >"$work/out" 2>"$work/err"
    local got=$?
    said() { if [ -z "$2" ]; then [ ! -s "$1" ]; else grep -zqE "$2" "$1"; fi; }
    [ "$got" -eq "$status" ] && said "$work/out" "$out" && said "$work/err" "$err" &&
        [ "$(wc -l <"$work/err")" -le 1 ] || { cat "$work/out" "$work/err"; echo "exit status $got"; return 1; }
}
check "--help prints the options" answers 0 'Usage: jeerforge .*-v, --version' '' --help
check "-v prints the version" answers 0 '^Jeerforge 1\.0\s*$' '' -v
check "an unknown option is named, with status 2" answers 2 '' "unknown option '--frobnicate'; see 'jeerforge --help'" --frobnicate
check "no display: one line and status 1" answers 1 '' 'needs a graphical desktop.*DISPLAY unset'
check "a display given as an option is the one named" answers 1 '' 'needs a graphical desktop.*-display ":99999"' \
    -platform xcb -display :99999
# A terminal obeys what it is sent; what came from outside reaches it as text.
escapes_as_text() {
    answers 2 '' "unknown option" $'--fr\e]0;owned\aob\b\r' && ! LC_ALL=C grep -q $'[\x01-\x09\x0b-\x1f\x7f]' "$work/err"
}
check "an option with escapes in it is named as text" escapes_as_text
check "a platform plugin that does not exist: Qt's reason names it" \
    answers 1 '' 'Could not find the Qt platform plugin "nosuch".*Available platform plugins are: .*xcb' -platform nosuch

echo "# configured with a homepage and a screenshot address"
# What the addresses change is all in what is configured: the package's
# control fields, the copyright file and the AppStream data.
published="$work/published"
cmake -S "$sources" -B "$published" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DJEERFORGE_HOMEPAGE='https://jeerforge.example/?from=tests&lang=en' \
    -DJEERFORGE_SCREENSHOT_URL=https://jeerforge.example/screenshot.png >/dev/null
check "the package names the homepage" \
    grep -qF 'set(CPACK_PACKAGE_HOMEPAGE_URL "https://jeerforge.example/?from=tests&lang=en")' "$published/CPackConfig.cmake"
check "so does the copyright file" grep -qxF 'Source: https://jeerforge.example/?from=tests&lang=en' "$published/copyright"
published_metainfo="$published/data/$id.metainfo.xml"
check "the AppStream data names both addresses, escaped" [ "$(grep -cE '<(url|image)>?[^<]*jeerforge\.example' "$published_metainfo")" -eq 2 ] 
check "and is valid" metainfo_valid "$published_metainfo"

[ "$failures" -eq 0 ]
