#!/usr/bin/env bash
# Measures the installed game as a process under Xvfb against a bare Qt
# reference of the same shape, alternating them (the reference also with
# --tick, doing each second what the game's idle window shows), and prints
# medians with min and max; then the move latency between two PCs and the receiver's idle
# cost (as root, in network namespaces), the headless simulator and the
# benchmarks.
# usage: bench/measure.sh [runs (default 7)]   (RUNS, IDLE_SECONDS, BUILD, MOVES (default 200) override;
#        QUICK=1 builds only the two programs and measures only them, from the build tree)
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-${RUNS:-7}}
build=${BUILD:-build-bench}
here=$PWD/bench
scratch=$(mktemp -d)
# shellcheck source=../tests/e2e/xvfb_lib.sh
. "$here/../tests/e2e/xvfb_lib.sh"
xvfb=
netns=
trap 'stop_xvfb "$xvfb"; [ -n "$netns" ] && ip netns del "$netns"; rm -rf "$scratch"' EXIT

echo "building in $build ..." >&2
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
quick=${QUICK:-0}
targets=()
[ "$quick" = 1 ] && targets=(--target vessrin vessrin_reference)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESSRIN_BENCH=ON "${launcher[@]}" >/dev/null &&
    cmake --build "$build" -j 2 "${targets[@]}" >"$scratch/build.log" 2>&1 ||
    { tail -30 "$scratch/build.log"; exit 1; }
if [ "$quick" = 1 ]; then
    game=$(realpath "$build/vessrin")
else
    DESTDIR=$scratch/root cmake --install "$build" --prefix /usr >/dev/null || exit 1
    game=$scratch/root/usr/games/vessrin
fi
reference=$(realpath "$build/bench/vessrin_reference")

# The game finds its port in the per-user services file, so its network is
# ready; settings land in a working folder of their own. Both programs run
# in a network namespace of their own whose only link is a pair of virtual
# interfaces ending in it, with a documentation address, so the game's hellos
# reach no network.
mkdir -p "$scratch/home" "$scratch/config/vessrin" "$scratch/work" "$scratch/runtime"
printf '[LinkForm]\r\nStartMenu=\r\n' >"$scratch/work/vessrin.ini"
chmod 700 "$scratch/runtime"
inside=()
if [ "$(id -u)" -eq 0 ] && ip netns add "vmeasure$$" 2>/dev/null; then
    netns=vmeasure$$
    ip -n "$netns" link set lo up &&
        ip -n "$netns" link add m0 type veth peer name m1 &&
        ip -n "$netns" addr add 198.51.100.9/24 dev m0 &&
        ip -n "$netns" link set m0 up &&
        ip -n "$netns" link set m1 up &&
        ip -n "$netns" route add default dev m0 || { echo "the namespace could not be set up" >&2; exit 1; }
    inside=(ip netns exec "$netns")
    printf 'Vessrin\t45679/udp\n' >"$scratch/config/vessrin/services"
else
    echo "not root: the game is measured with its network not started" >&2
fi
start_xvfb 1280x1024x24 -nolisten tcp || exit 1
xvfb=$XVFB_PID
display=$DISPLAY
run() { # title regex, program
    (cd "$scratch/work" && "${inside[@]}" env -i PATH="$PATH" HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" \
        XDG_RUNTIME_DIR="$scratch/runtime" DISPLAY="$display" QT_QPA_PLATFORM=xcb LANG=en_US.UTF-8 \
        IDLE_SECONDS="${IDLE_SECONDS:-10}" python3 "$here/measure_run.py" "$@")
}
# One start of each first, so that all are measured warm.
run '^(Vessrin|Orvanel)$' "$game" >/dev/null
run '^Reference$' "$reference" >/dev/null
: >"$scratch/game.jsonl"
: >"$scratch/reference.jsonl"
: >"$scratch/ticking.jsonl"
for i in $(seq 1 "$runs"); do
    echo "run $i of $runs" >&2
    run '^(Vessrin|Orvanel)$' "$game" >>"$scratch/game.jsonl"
    run '^Reference$' "$reference" >>"$scratch/reference.jsonl"
    run '^Reference$' "$reference" --tick >>"$scratch/ticking.jsonl"
done

stop_xvfb "$xvfb"
xvfb=
if [ "$quick" != 1 ]; then
    echo "move latency ..." >&2
    bash "$here/move_latency.sh" "$game" "${MOVES:-200}" >"$scratch/moves.jsonl"
fi

python3 - "$scratch/game.jsonl" "$scratch/reference.jsonl" "$runs" "$scratch/ticking.jsonl" <<'PY'
import json, statistics, sys
game = [json.loads(l) for l in open(sys.argv[1]) if l.strip()]
ref = [json.loads(l) for l in open(sys.argv[2]) if l.strip()]
ticking = [json.loads(l) for l in open(sys.argv[4]) if l.strip()]
def stat(rows, key):
    v = [r[key] for r in rows if r.get(key) is not None]
    if not v:
        return None, "not reached"
    m = statistics.median(v)
    return m, f"{m:.1f} ({min(v):.1f}–{max(v):.1f})"
print(f"| figure ({sys.argv[3]} runs, median (min–max)) | game | reference | ratio |")
print("|---|---|---|---|")
for key, name in (("mapped_ms", "exec → main window mapped, ms"),
                  ("painted_ms", "exec → demonstration board (reference: hexagons) painted, ms"),
                  ("rss_mib", "resident memory 3 s after start, MiB"),
                  ("idle_cpu_ms", "CPU while idle, ms per 10 s"),
                  ("idle_vcsw", "voluntary context switches while idle, all threads, per 10 s"),
                  ("receiver_vcsw", "the same, receiver thread alone, per 10 s"),
                  ("receiver_cpu_ms", "CPU while idle, receiver thread alone, ms per 10 s")):
    gm, gt = stat(game, key)
    rm, rt = stat(ref, key)
    ratio = f"{gm / rm:.2f} ×" if gm is not None and rm else "–"
    print(f"| {name} | {gt} | {rt} | {ratio} |")
# The reference that ticks as the game's idle window does: what bare Qt pays
# for showing the same changes each second.
print()
print("| idle, per 10 s, median (min–max) | game | ticking reference | ratio |")
print("|---|---|---|---|")
for key, name in (("idle_cpu_ms", "CPU, all threads, ms"),
                  ("idle_vcsw", "voluntary context switches, all threads")):
    gm, gt = stat(game, key)
    tm, tt = stat(ticking, key)
    ratio = f"{gm / tm:.2f} ×" if gm is not None and tm else "–"
    print(f"| {name} | {gt} | {tt} | {ratio} |")
runs = game + ref + ticking
bad = [r for r in runs if r.get("exit") != 0]
print(f"\nclean exits: {len(runs) - len(bad)} of {len(runs)}")
PY
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
[ "$quick" = 1 ] && exit 0
echo
python3 "$here/move_latency.py" summary "$scratch/moves.jsonl"

echo
echo "simulator:"
"$build/bench/simulator" "${GAMES:-100000}" 1
echo
echo "benchmarks:"
for b in bench_core bench_ui; do
    [ -x "$build/bench/$b" ] || continue
    env QT_QPA_PLATFORM=offscreen "$build/bench/$b" --benchmark_min_time=0.2 2>/dev/null |
        grep -E '^[A-Za-z]' | grep -v -E '^(Run on|Load Average|CPU Caches|Benchmark|\*\*\*)'
done
echo
echo "machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1), $(date -u +%F)"
