#!/usr/bin/env bash
# The options ./scripts/run gives the simulator for a RAVELO_SIM_ARGS: the
# scanner is fitted unless the user's own --state list takes it out, the
# user's words keep their quoting, and a broken quote is refused.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../lib.sh"

failed=0
check() {
    local args="$1" want="$2" got
    RAVELO_SIM_ARGS="$args"
    if ! ravelo_sim_arguments 2>/dev/null; then
        got="(refused)"
    else
        got="$(IFS='|'; echo "${RAVELO_SIM_ARGV[*]}")"
    fi
    if [ "$got" != "$want" ]; then
        echo "RAVELO_SIM_ARGS=[$args]: got [$got], want [$want]"
        failed=1
    fi
}

# RAVELO_SIM_ARGS                                  the options after --link, joined by "|"
check ''                                           '--state|scanner=1'
check '--fault delay-ms=1300 --log sim.log'        '--fault|delay-ms=1300|--log|sim.log|--state|scanner=1'
check '--state func1=ACV,chan101=on'               '--state|scanner=1,func1=ACV,chan101=on'
check '--state=scanner=0'                          '--state|scanner=1,scanner=0'
check '--state rate=F --state ""'                  '--state|scanner=1,rate=F|--state|scanner=1'
check "--idn 'ACME,MODEL 7,0,1.0' --log \"a b\""   '--idn|ACME,MODEL 7,0,1.0|--log|a b|--state|scanner=1'
check '--idn "ACME'                                '(refused)'

exit "$failed"
