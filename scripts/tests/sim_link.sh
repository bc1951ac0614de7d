#!/usr/bin/env bash
# Two simulators started as ./scripts/run starts its own, side by side: each
# has a link of its own in a fresh folder and answers there with its own
# identity; stopping one ends its process and removes its folder, and leaves
# the other serving.
#   sim_link.sh RAVELO_SIM_PROGRAM
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"
program="$1"

failed=0
fail() {
    echo "$*"
    failed=1
}

# The reply of the simulator on LINK to "*IDN?", as long as the one wanted
# and its CR, shown with "|" for the CR; what came within 5 s.
identity() {
    local link="$1" want="$2" fd
    exec {fd}<>"$link" || return 1
    printf '*IDN?\n' >&"$fd"
    timeout 5 head -c $((${#want} + 1)) <&"$fd" | tr '\r' '|'
    exec {fd}>&-
}

declare -a pids dirs links
for n in 1 2; do
    RAVELO_SIM_ARGS="--idn 'ACME,SIM $n,0,1.0'"
    ravelo_sim_arguments || fail "RAVELO_SIM_ARGS refused"
    if ! ravelo_sim_start "$program"; then
        fail "simulator $n did not start"
        break
    fi
    pids[n]="$RAVELO_SIM_PID"
    dirs[n]="$RAVELO_SIM_DIR"
    links[n]="$RAVELO_COM1"
    [ "$(dirname "$RAVELO_COM1")" = "$RAVELO_SIM_DIR" ] || fail "link $RAVELO_COM1 is outside $RAVELO_SIM_DIR"
done

if [ "$failed" = 0 ]; then
    [ "${dirs[1]}" != "${dirs[2]}" ] || fail "both simulators use the folder ${dirs[1]}"
    [ "$(readlink "${links[1]}")" != "$(readlink "${links[2]}")" ] || fail "both links lead to one pty"
    for n in 1 2; do
        got="$(identity "${links[n]}" "ACME,SIM $n,0,1.0")"
        [ "$got" = "ACME,SIM $n,0,1.0|" ] || fail "simulator $n answers [$got] on ${links[n]}"
    done

    # Stop the first as its run's end would: the second serves on.
    RAVELO_SIM_PID="${pids[1]}" RAVELO_SIM_DIR="${dirs[1]}"
    ravelo_sim_stop
    ! kill -0 "${pids[1]}" 2>/dev/null || fail "simulator 1 still runs after its stop"
    [ ! -e "${dirs[1]}" ] || fail "the folder ${dirs[1]} is still there"
    got="$(identity "${links[2]}" "ACME,SIM 2,0,1.0")"
    [ "$got" = "ACME,SIM 2,0,1.0|" ] || fail "simulator 2 answers [$got] after the first stopped"
fi

# A simulator that cannot start leaves nothing behind.
RAVELO_SIM_ARGV=(--baud 0)
before="$(find "${TMPDIR:-/tmp}" -maxdepth 1 -name 'ravelo-sim.*' | sort)"
if ravelo_sim_start "$program" 2>/dev/null; then
    fail "a simulator with --baud 0 started"
fi
after="$(find "${TMPDIR:-/tmp}" -maxdepth 1 -name 'ravelo-sim.*' | sort)"
[ "$before" = "$after" ] || fail "a failed start left a folder behind"
[ -z "$RAVELO_SIM_PID" ] || fail "a failed start left RAVELO_SIM_PID set"

for n in 1 2; do
    RAVELO_SIM_PID="${pids[n]:-}" RAVELO_SIM_DIR="${dirs[n]:-}"
    ravelo_sim_stop
done
exit "$failed"
