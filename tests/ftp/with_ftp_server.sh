#!/usr/bin/env bash
# Runs a command with a throw-away FTP server on 127.0.0.1 (tests/ftp/ftp_server.py) and
# stops the server afterwards, whatever happens.
#
#   with_ftp_server.sh [--wine] [--no-mlsd | --hostile] -- COMMAND [ARGS...]
#
# The command finds the server through KELV_FTP_HOST, KELV_FTP_PORT, KELV_FTP_USER,
# KELV_FTP_PASSWORD, its root folder through KELV_FTP_ROOT and a scratch folder for local
# files through KELV_FTP_LOCAL. With --wine the two folders are given as Windows paths
# (Z:\...) for a program run under Wine; KELV_FTP_ROOT_UNIX and KELV_FTP_LOCAL_UNIX always
# hold the Linux paths. Exits 77 (skipped) when pyftpdlib is missing.
#
# With --hostile the server is tests/ftp/hostile_ftp_server.py instead, which misbehaves as
# the user name of each login asks (see that file) and accepts any password;
# KELV_FTP_LOG (and KELV_FTP_LOG_UNIX) name its log of received commands and uploads.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
wine=0
hostile=0
server_args=()
while (($#)); do
  case $1 in
    --wine) wine=1; shift ;;
    --no-mlsd) server_args+=(--no-mlsd); shift ;;
    --hostile) hostile=1; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if (($# == 0)); then
  echo "usage: $0 [--wine] [--no-mlsd | --hostile] -- COMMAND [ARGS...]" >&2
  exit 2
fi

if ((!hostile)) && ! /usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null; then
  echo "SKIPPED: python3-pyftpdlib is not installed"
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kelv-ftp.XXXXXX")
mkdir "$work/root" "$work/local"
user="kelv$RANDOM"
password="pw$RANDOM$RANDOM"
if ((hostile)); then
  : >"$work/commands.log"
  /usr/bin/python3 "$here/hostile_ftp_server.py" --root "$work/root" --port-file "$work/port" \
    --log "$work/commands.log" >"$work/server.log" 2>&1 &
else
  /usr/bin/python3 "$here/ftp_server.py" --root "$work/root" --user "$user" \
    --password "$password" --port-file "$work/port" "${server_args[@]}" \
    >"$work/server.log" 2>&1 &
fi
server=$!
cleanup() {
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

for _ in $(seq 200); do
  [[ -s $work/port ]] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
if [[ ! -s $work/port ]]; then
  echo "the FTP server did not start:" >&2
  cat "$work/server.log" >&2
  exit 1
fi

winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
export KELV_FTP_HOST=127.0.0.1
export KELV_FTP_PORT=$(cat "$work/port")
export KELV_FTP_USER=$user
export KELV_FTP_PASSWORD=$password
export KELV_FTP_ROOT_UNIX=$work/root
export KELV_FTP_LOCAL_UNIX=$work/local
export KELV_FTP_LOG_UNIX=$work/commands.log
if ((wine)); then
  export KELV_FTP_UNDER_WINE=1
  export KELV_FTP_ROOT=$(winpath "$work/root")
  export KELV_FTP_LOCAL=$(winpath "$work/local")
  export KELV_FTP_LOG=$(winpath "$work/commands.log")
else
  export KELV_FTP_ROOT=$work/root
  export KELV_FTP_LOCAL=$work/local
  export KELV_FTP_LOG=$work/commands.log
fi

"$@"
status=$?
if ((status != 0)) && [[ -s $work/server.log ]]; then
  echo "--- FTP server log ---" >&2
  tail -40 "$work/server.log" >&2
fi
exit $status
