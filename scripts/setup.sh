#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing), then
# configures and builds one build tree.
#   scripts/setup.sh [BUILD_DIR] [extra cmake options...]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-"$here/build"}
shift || true

packages=(
    cmake g++ ninja-build libgtest-dev clang-format
    qt6-base-dev qt6-charts-dev qt6-multimedia-dev qt6-translations-l10n libgl-dev libqt6opengl6-dev
    libxlsxwriter-dev python3-openpyxl
    xvfb xauth
    # The front end's tests run once more under a Czech system's locale (below).
    locales
    # The fuzzers: libFuzzer comes with clang's runtime.
    clang libclang-rt-14-dev
    # The package check and the tests' workbook reader run with /usr/bin/python3.
    python3
    # The report's tests read the PDF back: pdftotext, pdfinfo, pdffonts, pdfimages.
    poppler-utils
    # The result set's commit is killed at each of its system calls by strace's
    # fault injection (tests/desk/commit_kill_test.cpp).
    strace
    # Used only at run time, so no build shows them missing (scripts/check_packages.py
    # cannot see them either): the front end's window on an X11 display (xcb platform
    # plugin) and its JPEG pictures (image plugin); the about panel's sound, which
    # Qt Multimedia plays through the desktop's PulseAudio or PipeWire server; a font
    # with the Czech letters. qt6-translations-l10n above is of this kind too.
    libqt6gui6 libqt6multimedia6 fonts-dejavu-core
)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Instaluji chybejici balicky: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# cs_CZ.UTF-8, the locale of a Czech engineer's system (decimal comma): enabled
# in /etc/locale.gen and generated, once.
if ! locale -a 2>/dev/null | grep -qix 'cs_CZ\.utf-\?8'; then
    echo "Generuji locale cs_CZ.UTF-8"
    if grep -q '^[# ]*cs_CZ\.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
        $sudo sed -i 's/^[# ]*\(cs_CZ\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    else
        echo 'cs_CZ.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    fi
    $sudo locale-gen
fi

# CMake's file API then lists the files the configure read, for scripts/check_packages.py.
mkdir -p "$build/.cmake/api/v1/query" && : >"$build/.cmake/api/v1/query/cmakeFiles-v1"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
