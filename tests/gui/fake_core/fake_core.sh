#!/bin/sh
# A stand-in for the core in the front end's tests. It prints a first line,
# then FAKE_CORE_LINES step lines (CR LF, as the core's console lines may end)
# FAKE_CORE_DELAY seconds apart; with FAKE_CORE_WAIT=1 it then waits for one
# line of input, as the core's error exit does; it ends with FAKE_CORE_EXIT.
lines=${FAKE_CORE_LINES:-3}
delay=${FAKE_CORE_DELAY:-0.1}
echo "fake core start"
i=1
while [ "$i" -le "$lines" ]; do
    printf 'krok %s\r\n' "$i"
    sleep "$delay"
    i=$((i + 1))
done
if [ "${FAKE_CORE_WAIT:-0}" = 1 ]; then
    echo "ceka na Enter"
    read -r answer
    echo "Enter prijat"
fi
exit "${FAKE_CORE_EXIT:-0}"
