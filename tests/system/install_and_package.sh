#!/usr/bin/env bash
# Installs Jeerforge into a temporary prefix and packs it as a .deb: every
# desktop file where desktops look, valid, and an installed program that
# starts to its first prompt.
set -u
build=$1
source "$(dirname "$0")/xvfb.sh"
work=$(mktemp -d)
trap 'xvfb_stop; rm -rf "$xvfb_dir" "$work"' EXIT
id=org.jeerforge.Jeerforge

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
check "the AppStream data is valid" appstreamcli validate --no-net "$work/prefix/share/metainfo/$id.metainfo.xml"
check "the desktop entry starts the program with no arguments" \
    grep -qx 'Exec=jeerforge' "$work/prefix/share/applications/$id.desktop"
check "the icon is a square SVG" grep -q 'viewBox="0 0 256 256"' "$work/prefix/share/icons/hicolor/scalable/apps/$id.svg"
check "the installed program starts to its first prompt" reaches_first_prompt "$work/prefix/bin/jeerforge"

echo "# cpack -G DEB"
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/jeerforge_*_amd64.deb 2>/dev/null | head -n 1)
check "a .deb is made" [ -f "$deb" ]
contents=$(dpkg-deb -c "$deb")
for file in usr/bin/jeerforge "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
    "usr/share/icons/hicolor/scalable/apps/$id.svg" "usr/share/icons/hicolor/48x48/apps/$id.png"; do
    check "the package holds /$file" grep -q "\./$file\$" <<<"$contents"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libcups2 libc6; do
    check "it depends on $library" grep -q "$library" <<<"$depends"
done
check "it has a maintainer and a description" [ -n "$(dpkg-deb -f "$deb" Maintainer)" -a -n "$(dpkg-deb -f "$deb" Description)" ]
check "lintian finds no error" lintian --fail-on error "$deb"
dpkg-deb -x "$deb" "$work/unpacked"
check "the packed program starts to its first prompt" reaches_first_prompt "$work/unpacked/usr/bin/jeerforge"

[ "$failures" -eq 0 ]
