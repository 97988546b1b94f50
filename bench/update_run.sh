#!/usr/bin/env bash
# Speed and memory of the Linux installer, each against a peer measured in the same run:
#  1. a whole run that writes a 256 MiB package (plus the two installer copies it makes),
#     against cp of the same bytes into the same folder; peak memory from /usr/bin/time -v;
#  2. the start-up checks for running programs with 300 extra processes running, against
#     pgrep -x over the same process list (process names as the kernel keeps them: 15 characters).
# Each figure is the median of several rounds, peer and subject interleaved.
# Usage: bench/update_run.sh [BUILD_DIR]   (default build/linux-release; built if needed)
set -euo pipefail
if [[ "${1:-}" == "-h" || "${1:-}" == "--help" ]]; then
  sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'
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
inst_size=$(stat -c %s "$sb/inst/Actualizador")
dest="$sb/app/Utiles/RuviDurUdi"

now() { date +%s.%N; }
median() { sort -g | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
elapsed() { awk -v a="$1" -v b="$2" -v n="${3:-1}" 'BEGIN {printf "%.6f", (b - a) / n}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }

# --- 1. the run that writes the package --------------------------------------------------
rounds=5
run_times=() cp_times=() cp_all_times=() rss=()
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
  # The run starts from a clean installation, as the peers write new files.
  rm -f "$dest/AuxActu.tmp" "$dest/Actualizador" "$sb/datos/Utiles/RuviDurUdi/Actualizador"
  sync
  t0=$(now)
  env PATH="$sb/bin:$PATH" KELV_NO_UI=1 KELV_REGISTRY="$sb/registry.reg" \
    /usr/bin/time -v -o "$work/time.txt" "$sb/inst/Actualizador" >/dev/null 2>"$work/err.txt" ||
    { echo "the installer failed:"; cat "$work/err.txt"; exit 1; }
  t1=$(now)
  run_times+=("$(elapsed "$t0" "$t1")")
  rss+=("$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")")
  cmp -s "$dest/AuxActu.tmp" "$work/package.zip" || { echo "the package differs"; exit 1; }
done
run=$(printf '%s\n' "${run_times[@]}" | median)
cp1=$(printf '%s\n' "${cp_times[@]}" | median)
cp_all=$(printf '%s\n' "${cp_all_times[@]}" | median)
max_rss=$(printf '%s\n' "${rss[@]}" | sort -n | tail -1)
written=$(((256 << 20) + 2 * inst_size))
echo "== whole run writing a 256 MiB package ($rounds rounds, medians)"
echo "installer run:                    ${run}s  (writes $((written >> 20)) MiB: package + 2 installer copies)"
echo "cp of the same bytes:             ${cp_all}s   ratio $(ratio "$run" "$cp_all")  (target <= 1.25)"
echo "cp of the package alone:          ${cp1}s   ratio $(ratio "$run" "$cp1")"
echo "samples (s): run ${run_times[*]} | cp same bytes ${cp_all_times[*]} | cp package ${cp_times[*]}"
echo "peak memory of the run (max RSS): $((max_rss / 1024)) MiB  (${max_rss} KiB; target < 32 MiB)"

# --- 2. the start-up checks with 300 processes running -----------------------------------
for ((i = 0; i < 300; i++)); do
  sleep 600 &
  sleepers+=($!)
done
sleep 0.5
procs=$(ls -d /proc/[0-9]* 2>/dev/null | wc -l)
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
