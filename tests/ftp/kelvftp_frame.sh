# The frame the kelvftp test scripts share, sourced by them: the program to run, where the
# server of with_ftp_server.sh and the scratch folder are, and helpers to run and check.
#
#   source kelvftp_frame.sh KELVFTP_COMMAND...

kelvftp=("$@")
host=$KELV_FTP_HOST:$KELV_FTP_PORT
local=$KELV_FTP_LOCAL            # as the program sees it
unix_local=$KELV_FTP_LOCAL_UNIX  # as the scripts see it
root=$KELV_FTP_ROOT_UNIX
sep=/
[[ -n ${KELV_FTP_UNDER_WINE:-} ]] && sep='\'
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# run EXPECTED_STATUS ARGS...: runs kelvftp, leaves its output (CR removed) in $out/$err.
run() {
  local want=$1
  shift
  out=$("${kelvftp[@]}" "$@" 2>"$unix_local/.err" | tr -d '\r')
  local status=${PIPESTATUS[0]}
  err=$(tr -d '\r' <"$unix_local/.err")
  rm -f "$unix_local/.err"
  ((status == want)) || fail "kelvftp $* exited $status, expected $want (stderr: $err)"
}

# finish WHAT: the script's exit status and last words.
finish() {
  if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "$1: all checks passed"
  exit 0
}
