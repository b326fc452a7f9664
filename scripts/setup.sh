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
    clang libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Instaluji chybejici balicky: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
