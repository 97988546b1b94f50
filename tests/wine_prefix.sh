#!/usr/bin/env bash
# Starts and stops the Wine prefix that the Windows build's tests run in (WINEPREFIX):
#
#   wine_prefix.sh start WINE WINESERVER   makes the prefix and keeps its wineserver running
#   wine_prefix.sh stop WINESERVER         ends that wineserver
#
# The wineserver stays until stop: one that exits by itself between two tests races the next
# test's start, which then dies with "recvmsg: Connection reset by peer". A server already
# running for the prefix is used as it is. The server and the processes wineboot leaves
# running get no handle on this script's output, which the test runner waits on; wineboot's
# own output goes to $WINEPREFIX/wineboot.log.
#
# Exit status: 0 done; 1 wineboot failed; 2 a wrong command line or no WINEPREFIX.
set -uo pipefail

usage() { sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; }
[[ ${1:-} == -h || ${1:-} == --help ]] && { usage; exit 0; }
[[ -n ${WINEPREFIX:-} ]] || { echo "wine_prefix.sh: WINEPREFIX is not set" >&2; exit 2; }

case "${1:-} $#" in
  "start 3")
    mkdir -p "$WINEPREFIX" || exit 1
    "$3" -p </dev/null >/dev/null 2>&1  # status 2 when one is running already
    "$2" wineboot -i </dev/null >"$WINEPREFIX/wineboot.log" 2>&1 || exit 1
    ;;
  "stop 2")
    "$2" -k >/dev/null 2>&1  # nothing to end is no failure
    ;;
  *)
    usage >&2
    exit 2
    ;;
esac
exit 0
