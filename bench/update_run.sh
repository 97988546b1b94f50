#!/usr/bin/env bash
# Speed and memory of the Linux installer, each against a peer measured in the same run:
#  1. a whole run that writes a 256 MiB package (plus the two installer copies it makes)
#     and checks it against its SHA-256 digest, against the same run of an installer packed
#     without digests and against cp of the same bytes; peak memory from /usr/bin/time -v;
#  2. the start-up checks for running programs with 300 extra processes running, against
#     pgrep -x over the same process list (process names as the kernel keeps them: 15 characters).
# Each figure is the median of several rounds, peer and subject interleaved.
# Usage: bench/update_run.sh [BUILD_DIR]   (default build/linux-release; built if needed)
set -euo pipefail
if [[ "${1:-}" == "-h" || "${1:-}" == "--help" ]]; then
  sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'
  exit 0
fi
cd "$(dirname "$0")/.."
root=$(pwd)
build=${1:-build/linux-release}
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKELV_BUILD_BENCH=ON >/dev/null
fi
cmake --build "$build" --target Actualizador empaquetar bench_update_checks -j 2 >/dev/null
installer="$root/$build/src/update/Actualizador"
empaquetar="$root/$build/tools/empaquetar/empaquetar"
checks="$root/$build/bench/bench_update_checks"

work=$(mktemp -d "${TMPDIR:-/var/tmp}/kelv-bench.XXXXXX")
sleepers=()
cleanup() {
  local pid
  for pid in "${sleepers[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

source tests/e2e/sandbox.sh
mdb=$(scripts/fetch-mdb-fixture "$work/fixture")
sb="$work/sandbox"
make_sandbox "$sb" "$mdb"
head -c $((256 << 20)) /dev/urandom >"$work/package.zip"
pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip"
# The peer: the same installer and package, packed without digests (nothing is checked).
mkdir -p "$sb/inst-nodigest"
"$empaquetar" "$installer" --vers "$work/package.zip" --without-digest -o "$sb/inst-nodigest/Actualizador"
inst_size=$(stat -c %s "$sb/inst/Actualizador")
dest="$sb/app/Utiles/RuviDurUdi"

now() { date +%s.%N; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
elapsed() { awk -v a="$1" -v b="$2" -v n="${3:-1}" 'BEGIN {printf "%.6f", (b - a) / n}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

# --- 1. the run that writes the package --------------------------------------------------
# run_once INSTALLER: one whole run from a clean installation, as the peers write new files;
# sets run_time (wall clock) and run_cpu (user + system time) and appends its peak memory
# (KiB) to rss.
run_once() {
  rm -f "$dest/AuxActu.tmp" "$dest/Actualizador" "$sb/datos/Utiles/RuviDurUdi/Actualizador"
  sync
  local t0 t1
  t0=$(now)
  env PATH="$sb/bin:$PATH" KELV_NO_UI=1 KELV_REGISTRY="$sb/registry.reg" \
    /usr/bin/time -f '%M %U %S' -o "$work/time.txt" "$1" >/dev/null 2>"$work/err.txt" ||
    { echo "the installer $1 failed:"; cat "$work/err.txt"; exit 1; }
  t1=$(now)
  run_time=$(elapsed "$t0" "$t1")
  rss+=("$(awk '{print $1}' "$work/time.txt")")
  run_cpu=$(awk '{printf "%.2f", $2 + $3}' "$work/time.txt")
  cmp -s "$dest/AuxActu.tmp" "$work/package.zip" || { echo "the package differs"; exit 1; }
}

rounds=7
run_times=() nodigest_times=() run_cpus=() nodigest_cpus=() cp_times=() cp_all_times=() rss=()
for ((i = 0; i < rounds; i++)); do
  sync
  t0=$(now)
  cp "$work/package.zip" "$dest/peer.bin"
  t1=$(now)
  cp_times+=("$(elapsed "$t0" "$t1")")
  rm -f "$dest/peer.bin"
  sync
  # cp of every byte the run writes: the package and the two copies of the installer.
  t0=$(now)
  cp "$work/package.zip" "$dest/peer.bin"
  cp "$sb/inst/Actualizador" "$dest/peer-copy1"
  cp "$sb/inst/Actualizador" "$sb/datos/Utiles/RuviDurUdi/peer-copy2"
  t1=$(now)
  cp_all_times+=("$(elapsed "$t0" "$t1")")
  rm -f "$dest/peer.bin" "$dest/peer-copy1" "$sb/datos/Utiles/RuviDurUdi/peer-copy2"
  # The two installers in turn, each going first in every other round.
  for which in $( ((i % 2)) && echo "digest nodigest" || echo "nodigest digest"); do
    if [[ $which == digest ]]; then
      run_once "$sb/inst/Actualizador"
      run_times+=("$run_time") run_cpus+=("$run_cpu")
    else
      run_once "$sb/inst-nodigest/Actualizador"
      nodigest_times+=("$run_time") nodigest_cpus+=("$run_cpu")
    fi
  done
done
run=$(printf '%s\n' "${run_times[@]}" | median)
nodigest=$(printf '%s\n' "${nodigest_times[@]}" | median)
run_cpu=$(printf '%s\n' "${run_cpus[@]}" | median)
nodigest_cpu=$(printf '%s\n' "${nodigest_cpus[@]}" | median)
cp1=$(printf '%s\n' "${cp_times[@]}" | median)
cp_all=$(printf '%s\n' "${cp_all_times[@]}" | median)
max_rss=$(printf '%s\n' "${rss[@]}" | sort -n | tail -1)
written=$(((256 << 20) + 2 * inst_size))
echo "== whole run writing a 256 MiB package ($rounds rounds, medians)"
echo "installer run, package checked:   ${run}s  (writes $((written >> 20)) MiB: package + 2 installer copies)"
echo "same run, packed without digest:  ${nodigest}s   ratio $(ratio "$run" "$nodigest")  (target <= 1.30)"
echo "  processor time (user + system):   ${run_cpu}s against ${nodigest_cpu}s   ratio $(ratio "$run_cpu" "$nodigest_cpu")"
echo "cp of the same bytes:             ${cp_all}s   ratio $(ratio "$run" "$cp_all")  (target <= 1.25)"
echo "cp of the package alone:          ${cp1}s   ratio $(ratio "$run" "$cp1")"
echo "samples (s): run ${run_times[*]} | without digest ${nodigest_times[*]} | cp same bytes ${cp_all_times[*]} | cp package ${cp_times[*]}"
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "peak memory of the runs (max RSS): $((max_rss / 1024)) MiB  (${max_rss} KiB; target < 32 MiB)"

# --- 2. the start-up checks with 300 processes running -----------------------------------
for ((i = 0; i < 300; i++)); do
  sleep 600 &
  sleepers+=($!)
done
sleep 0.5
pids=(/proc/[0-9]*)  # a glob, not ls: processes that end meanwhile are no failure
procs=${#pids[@]}
loops=50 rounds=7
checks_times=() pgrep_times=()
for ((r = 0; r < rounds; r++)); do
  t0=$(now)
  for ((i = 0; i < loops; i++)); do pgrep -x 'KelvPersonal.ex|ModuloWeb.exe' >/dev/null 2>&1 || true; done
  t1=$(now)
  pgrep_times+=("$(elapsed "$t0" "$t1" "$loops")")
  t0=$(now)
  for ((i = 0; i < loops; i++)); do "$checks" >/dev/null; done
  t1=$(now)
  checks_times+=("$(elapsed "$t0" "$t1" "$loops")")
done
chk=$(printf '%s\n' "${checks_times[@]}" | median)
pg=$(printf '%s\n' "${pgrep_times[@]}" | median)
echo "== start-up checks with $procs processes listed in /proc ($rounds rounds of $loops, medians)"
printf 'two ProcessInfo checks (process):  %.2f ms\n' "$(awk -v s="$chk" 'BEGIN {print s * 1000}')"
printf 'pgrep -x (process):                %.2f ms   ratio %s  (target <= 1.00)\n' \
  "$(awk -v s="$pg" 'BEGIN {print s * 1000}')" "$(ratio "$chk" "$pg")"
