#!/usr/bin/env bash
# Drives kelvftp against the server of with_ftp_server.sh: listing, uploads and downloads
# (whole and chunked, active and passive), remote file and folder commands, where the
# password comes from, and failures.
#
#   with_ftp_server.sh [--wine] -- kelvftp_test.sh KELVFTP_COMMAND...
set -uo pipefail

source "$(dirname "$0")/kelvftp_frame.sh"
login=(--user "$KELV_FTP_USER" --password "$KELV_FTP_PASSWORD")

run 0 --help
[[ $out == usage:* ]] || fail "--help shows no usage"
run 2 "$host"
run 2 "$host" frobnicate

head -c 100000 /dev/urandom >"$unix_local/data.bin"
printf 'line one\r\nline two\r\n' >"$unix_local/text.txt"
for mode in "" --passive; do
  rm -rf "${root:?}"/*
  run 0 "${login[@]}" $mode --binary "$host" put "$local${sep}data.bin" "data file.bin"
  cmp -s "$unix_local/data.bin" "$root/data file.bin" || fail "$mode whole upload differs"
  run 0 "${login[@]}" $mode --binary --chunked "$host" put "$local${sep}data.bin" chunked.bin
  cmp -s "$unix_local/data.bin" "$root/chunked.bin" || fail "$mode chunked upload differs"
  run 0 "${login[@]}" $mode --binary "$host" get "data file.bin" "$local${sep}back.bin"
  cmp -s "$unix_local/data.bin" "$unix_local/back.bin" || fail "$mode whole download differs"
  run 0 "${login[@]}" $mode --binary --chunked "$host" get chunked.bin "$local${sep}back2.bin"
  cmp -s "$unix_local/data.bin" "$unix_local/back2.bin" || fail "$mode chunked download differs"
  run 0 "${login[@]}" $mode "$host" put "$local${sep}text.txt" text.txt
  run 0 "${login[@]}" $mode "$host" mkdir folder
  run 0 "${login[@]}" $mode "$host" ls
  grep -Eq '^---D----- +[0-9]+ [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9:]{8} folder$' <<<"$out" ||
    fail "$mode ls shows no folder line: $out"
  # Wine's WinINet gives files no attribute at all where Windows says "normal".
  grep -Eq '^-----[N-]--- +100000 [0-9-]{10} [0-9:]{8} chunked.bin$' <<<"$out" ||
    fail "$mode ls shows no file line: $out"
  [[ $(wc -l <<<"$out") -eq 4 ]] || fail "$mode ls shows $(wc -l <<<"$out") lines: $out"
  run 0 "${login[@]}" $mode "$host" ls "*.txt"
  [[ $out == *text.txt && $(wc -l <<<"$out") -eq 1 ]] || fail "$mode ls *.txt: $out"
done

run 0 "${login[@]}" "$host" size chunked.bin
[[ $out == 100000 ]] || fail "size says $out"
run 0 "${login[@]}" "$host" mv chunked.bin moved.bin
[[ -f $root/moved.bin && ! -e $root/chunked.bin ]] || fail "mv did not rename"
run 0 "${login[@]}" "$host" rm moved.bin
[[ ! -e $root/moved.bin ]] || fail "rm did not delete"
run 0 "${login[@]}" "$host" rmdir folder
[[ ! -e $root/folder ]] || fail "rmdir did not remove"
run 0 "${login[@]}" "$host" pwd
[[ $out == / ]] || fail "pwd says $out"

# The password need not be on the command line: KELVFTP_PASSWORD, or a .netrc entry.
export KELVFTP_PASSWORD=$KELV_FTP_PASSWORD
run 0 --user "$KELV_FTP_USER" "$host" pwd
export KELVFTP_PASSWORD=wrong
run 1 --user "$KELV_FTP_USER" "$host" pwd
unset KELVFTP_PASSWORD
netrc=$unix_local/netrc
netrc_arg=$local${sep}netrc
printf 'machine other.example login nobody password nothing\n' >"$netrc"
printf 'machine %s\n  login %s\n  password "%s"\ndefault login anonymous password x\n' \
  "$KELV_FTP_HOST" "$KELV_FTP_USER" "$KELV_FTP_PASSWORD" >>"$netrc"
run 0 --netrc-file "$netrc_arg" "$host" pwd
[[ $out == / ]] || fail "pwd with the .netrc login says $out"
run 0 --user "$KELV_FTP_USER" --netrc-file "$netrc_arg" "$host" pwd
# A login the file has no entry for falls to its default entry, which the server refuses.
run 1 --user someone --netrc-file "$netrc_arg" "$host" pwd
# --password comes first, then the .netrc entry, then KELVFTP_PASSWORD.
run 1 --password wrong --netrc-file "$netrc_arg" "$host" pwd
KELVFTP_PASSWORD=wrong run 0 --netrc-file "$netrc_arg" "$host" pwd
run 2 --netrc-file "$local${sep}no-such-netrc" "$host" pwd
if [[ -z ${KELV_FTP_UNDER_WINE:-} ]]; then
  mkdir -p "$unix_local/home"
  cp "$netrc" "$unix_local/home/.netrc"
  HOME=$unix_local/home run 0 --netrc "$host" pwd
fi
run 0 --help
[[ $out == *KELVFTP_PASSWORD* && $out == *--netrc* ]] || fail "--help does not tell of the password sources"

# Failures: exit status 1 and the reason on standard error.
run 1 "${login[@]}" "$host" rm moved.bin
[[ $err == "kelvftp: 550 "* ]] || fail "rm of a missing file says: $err"
run 1 "${login[@]}" "$host" size moved.bin
[[ $err == *"no such file"* ]] || fail "size of a missing file says: $err"
run 1 --user "$KELV_FTP_USER" --password wrong "$host" pwd
[[ $err == "kelvftp: InternetConnect error code: "* ]] || fail "a wrong password says: $err"
echo keep >"$unix_local/keep.txt"
run 1 "${login[@]}" "$host" get missing.txt "$local${sep}keep.txt"
[[ $(cat "$unix_local/keep.txt") == keep ]] || fail "a failed get changed the local file"
run 1 "${login[@]}" --chunked "$host" put "$local${sep}absent.bin" x.bin
[[ $err == kelvftp:* ]] || fail "an absent local file says: $err"

finish "kelvftp"
