#!/bin/sh
# A stand-in for the core in the front end's tests. It prints a first line,
# then FAKE_CORE_LINES step lines (CR LF, as the core's console lines may end)
# FAKE_CORE_DELAY seconds apart; with FAKE_CORE_WAIT=1 it then waits for one
# line of input, as the core's error exit does; with FAKE_CORE_SUMMARY it
# writes that line as the run summary under $VELDRON_ROOT/OUT_RESULT; it ends
# with FAKE_CORE_EXIT, or kills itself when that is "kill".
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
if [ -n "${FAKE_CORE_SUMMARY:-}" ]; then
    printf '%s\r\n' "$FAKE_CORE_SUMMARY" >"$VELDRON_ROOT/OUT_RESULT/souhrn_vypoctu"
fi
if [ "${FAKE_CORE_EXIT:-0}" = kill ]; then
    kill -9 $$
fi
exit "${FAKE_CORE_EXIT:-0}"
