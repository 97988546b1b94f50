#!/usr/bin/env bash
# Drives kelvftp against the misbehaving server of with_ftp_server.sh --hostile: a listing
# that stalls, names and replies that would drive the terminal, replies without end, and
# names that smuggle a second command.
#
#   with_ftp_server.sh [--wine] --hostile -- kelvftp_hostile_test.sh KELVFTP_COMMAND...
set -uo pipefail

source "$(dirname "$0")/kelvftp_frame.sh"
log=$KELV_FTP_LOG_UNIX
esc=$'\x1b'

run 2 --stall-timeout 0 "$host" pwd
run 2 --stall-timeout soon "$host" pwd

# A listing that stalls is a failure, never an empty folder. (Under Wine the library's own
# 30-second wait ends it; the server then says 426.)
echo a >"$root/a.txt"
run 1 --stall-timeout 1 --user stall-list "$host" ls
[[ -z $out ]] || fail "a stalled listing printed: $out"
[[ $err == *"error code: 12002"* || $err == *"426 "* ]] || fail "a stalled listing says: $err"

# Names that carry terminal controls are printed escaped.
printf -- '-rw-r--r-- 1 u g 7 Jan  3  2019 %s\r\n' $'\x1b]0;pwned\x07title.txt' plain.txt \
  >"$root/names.txt"
run 0 --user listing=names.txt+no-mlsd "$host" ls
[[ $out != *"$esc"* && $out != *$'\x07'* ]] || fail "ls printed raw control characters"
grep -qF '\x1b]0;pwned\x07title.txt' <<<"$out" || fail "ls shows no escaped name: $out"
grep -q 'plain.txt$' <<<"$out" || fail "ls lost the plain name: $out"

# A reply without end is cut, and its controls escaped too.
run 1 --user long-reply "$host" rm a.txt
[[ $err != *"$esc"* ]] || fail "a reply printed a raw escape character"
# (Wine's WinINet gives up on a reply line of more than 1,460 characters by itself.)
[[ -n ${KELV_FTP_UNDER_WINE:-} || $err == 'kelvftp: 550 \x1b[31m'x* ]] ||
  fail "the reply is not shown: ${err:0:80}"
((${#err} < 2100)) || fail "a reply of 5,000 characters was printed with ${#err}"

# A name holding a line end never reaches the server, whatever the command.
echo precious >"$root/victim.txt"
echo up >"$unix_local/up.txt"
evil=$'a.txt\r\nDELE victim.txt'
: >"$log"
refused() {
  run 1 --user plain "$host" "$@"
  [[ $err == *"error code: 123"* ]] || fail "$1 with a line end in a name says: $err"
}
refused rm "$evil"
refused mv "$evil" b.txt
refused mv a.txt "$evil"
refused mkdir "$evil"
refused rmdir "$evil"
refused get "$evil" "$local${sep}down.txt"
refused put "$local${sep}up.txt" "$evil"
refused size "$evil"
refused ls "$evil"
[[ $(cat "$root/victim.txt") == precious ]] || fail "victim.txt was touched"
[[ -e $root/a.txt ]] || fail "a.txt was touched"
! grep -q victim "$log" || fail "a smuggled command reached the server: $(grep victim "$log")"

finish "kelvftp against a hostile server"
