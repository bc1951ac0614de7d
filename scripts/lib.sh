# Shared by scripts/run and scripts/test: installs what the build needs on a
# Debian machine when it is missing, then configures and builds.

RAVELO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RAVELO_PACKAGES=(cmake g++ clang libclang-rt-14-dev ninja-build qt6-base-dev qt6-serialport-dev libqt6opengl6-dev
                 libgl-dev libxkbcommon-dev libqcustomplot-dev libbenchmark-dev
                 fonts-dejavu-core    # the panel draws its legends in DejaVu Sans
                 fonts-droid-fallback)  # and the full-width characters of its texts

ravelo_install_packages() {
    local missing=()
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if ! command -v apt-get >/dev/null 2>&1; then
        echo "Missing packages: ${missing[*]} (install them with your package manager)" >&2
        return 1
    fi
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# ravelo_build BUILD_DIR [cmake options...]
ravelo_build() {
    local dir="$1"
    shift
    ravelo_install_packages "${RAVELO_PACKAGES[@]}"
    local generator=()
    [ -f "$dir/CMakeCache.txt" ] || generator=(-G Ninja)
    cmake -S "$RAVELO_ROOT" -B "$dir" "${generator[@]}" "$@"
    cmake --build "$dir" --parallel
}

# The simulator's options for ./scripts/run, in RAVELO_SIM_ARGV: a full
# instrument (scanner fitted, --state scanner=1), then the words of
# RAVELO_SIM_ARGS, split and quoted as a shell would but never expanded.
# ravelo-sim keeps only the last --state it is given, so scanner=1 goes in
# front of each --state list of the user's: its keys are added to a fitted
# scanner, and its own scanner=0 comes later and wins. Fails on an unmatched
# quote.
ravelo_sim_arguments() {
    local words=()
    if [ -n "${RAVELO_SIM_ARGS:-}" ]; then
        mapfile -d '' -t words < <(printf '%s' "$RAVELO_SIM_ARGS" | xargs -r printf '%s\0' 2>/dev/null)
        if ! wait $!; then
            echo "RAVELO_SIM_ARGS has an unmatched quote: $RAVELO_SIM_ARGS" >&2
            return 1
        fi
    fi
    RAVELO_SIM_ARGV=()
    local state_given=0 i=0 list
    while [ "$i" -lt ${#words[@]} ]; do
        case "${words[i]}" in
            --state | --state=*)
                if [ "${words[i]}" = --state ]; then
                    i=$((i + 1))
                    list="${words[i]-}"
                else
                    list="${words[i]#--state=}"
                fi
                RAVELO_SIM_ARGV+=(--state "scanner=1${list:+,$list}")
                state_given=1
                ;;
            *) RAVELO_SIM_ARGV+=("${words[i]}") ;;
        esac
        i=$((i + 1))
    done
    [ "$state_given" = 1 ] || RAVELO_SIM_ARGV+=(--state scanner=1)
}

# ravelo_sim_start PROGRAM: starts the simulator PROGRAM with RAVELO_SIM_ARGV
# on a link in a fresh folder of its own, so that two runs side by side never
# share one, and points COM 1 at it (RAVELO_COM1). Sets RAVELO_SIM_PID and
# RAVELO_SIM_DIR; the simulator's own output goes to RAVELO_SIM_DIR/sim.out.
# Fails, the simulator stopped and its words shown, when no link appears.
# ravelo_sim_stop ends the simulator and removes the folder; nothing else
# does (a signal to the script's process group does not reach it).
RAVELO_SIM_PID=""
RAVELO_SIM_DIR=""
ravelo_sim_start() {
    local program="$1"
    RAVELO_SIM_DIR="$(mktemp -d "${TMPDIR:-/tmp}/ravelo-sim.XXXXXX")" || return 1
    local link="$RAVELO_SIM_DIR/com1"
    # In a session of its own: Ctrl-C or a closed terminal ends the program
    # first, which hands the instrument back, and the simulator after it.
    setsid "$program" --link "$link" "${RAVELO_SIM_ARGV[@]}" > "$RAVELO_SIM_DIR/sim.out" 2>&1 &
    RAVELO_SIM_PID=$!
    local _
    for _ in $(seq 100); do
        [ -L "$link" ] && break
        kill -0 "$RAVELO_SIM_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -L "$link" ] || ! kill -0 "$RAVELO_SIM_PID" 2>/dev/null; then
        cat "$RAVELO_SIM_DIR/sim.out" >&2
        echo "The simulator did not start ($program ${RAVELO_SIM_ARGV[*]})" >&2
        ravelo_sim_stop
        return 1
    fi
    export RAVELO_COM1="$link"
}

ravelo_sim_stop() {
    if [ -n "$RAVELO_SIM_PID" ]; then
        kill "$RAVELO_SIM_PID" 2>/dev/null || true
        wait "$RAVELO_SIM_PID" 2>/dev/null || true
    fi
    if [ -n "$RAVELO_SIM_DIR" ]; then
        # Anything the simulator had to say, besides the pty it served.
        grep -s '^ravelo-sim:' "$RAVELO_SIM_DIR/sim.out" >&2 || true
        rm -rf "$RAVELO_SIM_DIR"
    fi
    RAVELO_SIM_PID=""
    RAVELO_SIM_DIR=""
}
