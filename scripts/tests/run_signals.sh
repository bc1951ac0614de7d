#!/usr/bin/env bash
# ./scripts/run ended by a signal, as a service manager, a closed terminal or
# Ctrl-C ends it: the script passes the signal on to the program, which ends
# as its close ends it (the instrument released last) and exits with 0; then
# the script stops the simulator and removes its folder. Nothing is left
# behind: no program, no simulator, no folder.
#   run_signals.sh BUILD_DIR   (holding ravelo, ravelo-sim and DISPLAY_BMP)
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$1"

failed=0
fail() {
    echo "$*"
    failed=1
}

# The children of a process with the command name given.
child_named() {
    ps -o pid=,comm= --ppid "$1" | awk -v name="$2" '$2 == name { print $1 }'
}

gone_within() {
    local pid="$1" tenths="$2" _
    for _ in $(seq "$tenths"); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}

# run_case NAME SIGNAL TARGET: TARGET "script" sends SIGNAL to the script
# alone, "group" to its whole process group (as Ctrl-C in a terminal does).
run_case() {
    local name="$1" signal="$2" target="$3"
    local work
    work="$(mktemp -d "${TMPDIR:-/tmp}/run-signals.XXXXXX")"
    mkdir "$work/build" "$work/bin" "$work/tmp"
    # The program's folder is its own copy's: the settings record the script
    # writes goes there, not into the build. Nothing is built again.
    cp "$build/ravelo" "$build/ravelo-sim" "$work/build/"
    ln -s "$build/DISPLAY_BMP" "$work/build/DISPLAY_BMP"
    printf '#!/bin/sh\nexit 0\n' > "$work/bin/cmake"
    chmod +x "$work/bin/cmake"

    # A process group of its own, so that a signal to the group reaches the
    # script and what it started, not this test; with SIGINT as a terminal
    # gives it (a background command starts with it ignored).
    PATH="$work/bin:$PATH" TMPDIR="$work/tmp" BUILD_DIR="$work/build" QT_QPA_PLATFORM=offscreen \
        RAVELO_SIM_ARGS="--log $work/sim.log" \
        setsid env --default-signal=INT bash "$here/../run" > "$work/run.out" 2>&1 &
    local script=$!

    # Started once the instrument has been identified and nothing more came
    # for a moment.
    local _ lines=0 before=-1 program="" sim=""
    for _ in $(seq 200); do
        lines="$(wc -l 2>/dev/null < "$work/sim.log" || echo 0)"
        [ "$lines" -gt 4 ] && [ "$lines" = "$before" ] && break
        before="$lines"
        sleep 0.2
    done
    program="$(child_named "$script" ravelo)"
    sim="$(child_named "$script" ravelo-sim)"
    if [ -z "$program" ] || [ -z "$sim" ]; then
        fail "$name: the program [$program] or the simulator [$sim] did not start"
        cat "$work/run.out"
        kill -KILL -- "-$script" "$program" "$sim" 2>/dev/null
        wait "$script" 2>/dev/null
        rm -rf "$work"
        return
    fi

    if [ "$target" = group ]; then
        kill "-$signal" -- "-$script"
    else
        kill "-$signal" "$script"
    fi
    local status=0
    if gone_within "$script" 100; then
        wait "$script" || status=$?
        [ "$status" = 0 ] || fail "$name: the script ended with $status"
    else
        fail "$name: the script still runs 10 s after SIG$signal"
        kill -KILL -- "-$script" "$program" "$sim" 2>/dev/null
        wait "$script" 2>/dev/null
    fi
    local last
    last="$(tail -n 1 "$work/sim.log")"
    [ "$last" = "SYST:LOC" ] || fail "$name: the simulator's last command is [$last]"
    ! kill -0 "$program" 2>/dev/null || fail "$name: the program still runs"
    ! kill -0 "$sim" 2>/dev/null || fail "$name: the simulator still runs"
    local left
    left="$(find "$work/tmp" -maxdepth 1 -name 'ravelo-sim.*')"
    [ -z "$left" ] || fail "$name: left behind: $left"
    [ "$failed" = 0 ] || cat "$work/run.out"
    rm -rf "$work"
}

run_case "SIGTERM to the script" TERM script
run_case "SIGINT to the script" INT script
run_case "SIGHUP to the script" HUP script
run_case "SIGINT to its process group (Ctrl-C)" INT group
exit "$failed"
