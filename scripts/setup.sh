# SPDX-FileCopyrightText: 2026 The Jeerforge developers
# SPDX-License-Identifier: GPL-3.0-or-later

# What run.sh and test.sh share: installing the Debian packages Jeerforge
# needs (jeerforge_install PACKAGE...) and configuring a build folder
# (jeerforge_configure DIR CMAKE-ARGUMENT...).

jeerforge_build_packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-wayland libcups2-dev libpango1.0-dev
    libqpdf-dev fonts-dejavu-core)
jeerforge_test_packages=(libgtest-dev libgmock-dev libx11-dev xvfb xauth x11-utils xdotool imagemagick
    cups-daemon cups-client cups-ipp-utils cups-filters cups-core-drivers ghostscript qpdf poppler-utils
    desktop-file-utils appstream lintian dpkg-dev valgrind
    weston dbus at-spi2-core python3-pyatspi orca fonts-symbola fonts-noto-color-emoji fonts-noto-core fonts-noto-cjk
    qt6-gtk-platformtheme locales)
jeerforge_check_packages=(clang libclang-rt-dev llvm clang-tidy clang-format cppcheck reuse libbenchmark-dev git)
# What the benchmarks measure Jeerforge's printing against.
jeerforge_bench_packages=(paps)

jeerforge_install() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
}

jeerforge_configure() { # build-dir, then extra cmake arguments
    local dir=$1; shift
    cmake -S "$(dirname "${BASH_SOURCE[0]}")/.." -B "$dir" -G Ninja "$@"
}
