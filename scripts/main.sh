#!/usr/bin/env bash
# The main job: build, install the tree into the installation root, run one
# calculation on the bundled sample reservoir, print its summary, then start
# the front end when there is a display.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=${VELDRON_ROOT:-"$HOME/VELDRON"}
export VELDRON_ROOT="$root"

"$here/scripts/setup.sh" "$here/build"
cmake --install "$here/build" --prefix "$root" >/dev/null
exchange="$root/PULT_na_vypocty"
# Every run consumes IN_START_VYP; the front end writes it before each start.
cp "$here/data/sample/IN_START_VYP" "$exchange/IN_START_VYP"

echo "Vypocet vzorove nadrze v $root ..."
start=$(date +%s%N)
set +e
"$exchange/PRGVELDRON" </dev/null >"$root/OUT_RESULT/konzole.txt"
status=$?
set -e
end=$(date +%s%N)
if [ "$status" -ne 0 ]; then
    tail -n 3 "$root/OUT_RESULT/konzole.txt"
    echo "PRGVELDRON skoncil se stavem $status" >&2
    exit "$status"
fi
# The core computes the run's summary; its file is shown as written (CR LF lines).
tr -d '\r' <"$root/OUT_RESULT/souhrn_vypoctu"
elapsed_ms=$(((end - start) / 1000000))
printf 'Doba vypoctu: %d.%03d s\n' $((elapsed_ms / 1000)) $((elapsed_ms % 1000))

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$exchange/Project_veldron" ]; then
    echo "Spoustim Project_veldron ..."
    exec "$exchange/Project_veldron"
else
    echo "Bez displeje: front end spustte prikazem $exchange/Project_veldron"
fi
