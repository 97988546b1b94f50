#!/usr/bin/env bash
# Throughput and peak memory of kelvftp's transfers against the curl command, both talking
# to the same local test server (tests/ftp/with_ftp_server.sh) in the same run.
#
#   bench/ftp_throughput.sh [KELVFTP] [SIZE_MIB] [ROUNDS]
#
# KELVFTP defaults to build/linux-release/tools/kelvftp/kelvftp (the linux-release preset),
# SIZE_MIB to 64 and ROUNDS to 5 (the transfers take turns within each round, and the median
# round of each is reported). Prints MiB/s, the ratio to curl, and the maximum resident set
# size from /usr/bin/time -v. Targets: whole-file put/get at least 0.9 x curl, chunked at
# least 0.8 x curl, each under 32 MiB of memory.
#
# kelvftp's downloads flush the new file to the disk before it replaces the old one (every
# replaced file does, see FileReplacer), handing it to the disk while it arrives; curl leaves
# its file to the system's cache. The downloads are held to plain curl, and their ratio to
# curl followed by the same flush of its file (curl_get+sync, with sync FILE) is shown beside.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)

if [[ ${1:-} == -h || ${1:-} == --help ]]; then
  sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'
  exit 0
fi

if [[ ${1:-} != --inner ]]; then
  kelvftp=$(realpath "${1:-$repo/build/linux-release/tools/kelvftp/kelvftp}")
  [[ -x $kelvftp ]] || { echo "no kelvftp at $kelvftp (build the Release tree first)" >&2; exit 2; }
  exec bash "$repo/tests/ftp/with_ftp_server.sh" -- bash "$0" --inner "$kelvftp" "${2:-64}" "${3:-5}"
fi

kelvftp=$2
size_mib=$3
rounds=$4
root=$KELV_FTP_ROOT
local=$KELV_FTP_LOCAL
url="ftp://$KELV_FTP_USER:$KELV_FTP_PASSWORD@$KELV_FTP_HOST:$KELV_FTP_PORT"
k=("$kelvftp" --passive --binary --user "$KELV_FTP_USER" --password "$KELV_FTP_PASSWORD"
   "$KELV_FTP_HOST:$KELV_FTP_PORT")

head -c $((size_mib * 1024 * 1024)) /dev/urandom >"$local/source.bin"
cp "$local/source.bin" "$root/remote.bin"

# command_of NAME: sets cmd to the command of one transfer of the given kind.
command_of() {
  case $1 in
    curl_put) cmd=(curl -s -T "$local/source.bin" "$url/up.bin") ;;
    curl_get | curl_get+sync) cmd=(curl -s -o "$local/out.bin" "$url/remote.bin") ;;
    simple_put) cmd=("${k[@]}" put "$local/source.bin" up.bin) ;;
    simple_get) cmd=("${k[@]}" get remote.bin "$local/out.bin") ;;
    chunked_put) cmd=("${k[@]}" --chunked put "$local/source.bin" up.bin) ;;
    chunked_get) cmd=("${k[@]}" --chunked get remote.bin "$local/out.bin") ;;
  esac
}

# measure NAME: one timed round of NAME; adds its wall time (s) to the samples of NAME and
# keeps its largest resident set size (KiB).
declare -A samples seconds rss
measure() {
  local name=$1 start end t m cmd
  command_of "$name"
  rm -f "$local/out.bin" "$root/up.bin"
  start=$(date +%s.%N)
  /usr/bin/time -v -o "$local/time.txt" "${cmd[@]}" >/dev/null
  [[ $name == *+sync ]] && sync "$local/out.bin"
  end=$(date +%s.%N)
  t=$(echo "$end - $start" | bc -l)
  m=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$local/time.txt")
  samples[$name]+="$t "
  ((m > ${rss[$name]:-0})) && rss[$name]=$m
  # Every transfer must have moved the whole file.
  if [[ -e $local/out.bin ]]; then cmp -s "$local/out.bin" "$local/source.bin"; fi
  if [[ -e $root/up.bin ]]; then cmp -s "$root/up.bin" "$local/source.bin"; fi
}

# The kinds take turns within each round, so that a busy spell of the machine falls on
# kelvftp and curl alike rather than on whichever happened to run then.
for ((r = 0; r < rounds; r++)); do
  for name in curl_put simple_put chunked_put curl_get curl_get+sync simple_get chunked_get; do
    measure "$name"
  done
done
# The median round of each kind: one lucky or unlucky round on a shared machine moves it
# less than it moves the best or the mean.
for name in "${!samples[@]}"; do
  seconds[$name]=$(tr ' ' '\n' <<<"${samples[$name]}" | sed '/^$/d' | sort -g |
    awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}')
done

status=0
printf '%-13s %9s %9s %8s %10s   %s\n' transfer seconds MiB/s vs-peer max-RSS target
report() {
  local name=$1 peer=$2 target=$3
  local t=${seconds[$name]} ratio mib note=""
  ratio=$(echo "${seconds[$peer]} / $t" | bc -l)
  mib=$(echo "${rss[$name]} / 1024" | bc -l)
  [[ $peer != curl_get ]] ||
    note=$(printf ' (%.2f x curl_get+sync)' "$(echo "${seconds[curl_get+sync]} / $t" | bc -l)")
  local verdict=ok
  if [[ $target != - ]]; then
    if (($(echo "$ratio < $target" | bc -l))) || (($(echo "$mib >= 32" | bc -l))); then
      verdict=MISSED
      status=1
    fi
  fi
  printf '%-13s %9.3f %9.1f %8.2f %8.1fMiB   %s\n' "$name" "$t" \
    "$(echo "$size_mib / $t" | bc -l)" "$ratio" "$mib" \
    "$([[ $target == - ]] && echo peer || echo ">= $target x $peer, < 32 MiB: $verdict$note")"
}
report curl_put curl_put -
report curl_get curl_get -
report curl_get+sync curl_get+sync -
report simple_put curl_put 0.9
report simple_get curl_get 0.9
report chunked_put curl_put 0.8
report chunked_get curl_get 0.8
exit $status
