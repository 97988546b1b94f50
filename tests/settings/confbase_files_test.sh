#!/usr/bin/env bash
# confbase set on the files an administrator meets (Linux):
#   - a ConfBase.cfg kept at 0600 stays 0600;
#   - a symbolic link stays a link, to the updated file;
#   - a read-only file is refused and left whole;
#   - as root: a file the user nobody may write, in a folder it may not write, is rewritten
#     in place when nobody runs confbase set;
#   - as root: on a full disk (a small tmpfs) the old file stays whole and no temporary file
#     is left beside it.
# Without root the last two cases cannot be set up (runuser and mount need root); the others
# run, and the test then reports itself skipped (77), saying so.
#
#   confbase_files_test.sh CONFBASE
set -uo pipefail

if (($# != 1)); then
  echo "usage: $0 CONFBASE" >&2
  exit 2
fi
confbase=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/kelv-confbase.XXXXXX")
chmod 755 "$work"
disk=
cleanup() {
  [[ -n $disk ]] && { umount "$disk" || umount -l "$disk"; }
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
# expect VALUE FILE TAG: the value confbase reads back.
expect() {
  local got
  got=$("$confbase" get "$2" "$3")
  [[ $got == "$1" ]] || fail "$2 [$3] reads '$got', not '$1'"
}
# only FOLDER NAME...: the folder holds exactly these names (no temporary file left).
only() {
  local folder=$1 got want
  shift
  got=$(ls -A "$folder" | sort | tr '\n' ' ')
  want=$(printf '%s\n' "$@" | sort | tr '\n' ' ')
  [[ $got == "$want" ]] || fail "$folder holds '$got', not '$want'"
}

# A 0600 file keeps its mode.
file=$work/ConfBase.cfg
"$confbase" set "$file" Permisos secreto || fail "set on a new file"
chmod 600 "$file"
"$confbase" set "$file" Permisos otro || fail "set on a 0600 file"
[[ $(stat -c %a "$file") == 600 ]] || fail "a 0600 file became $(stat -c %a "$file")"
expect otro "$file" Permisos

# A symbolic link stays a link to the updated file.
mkdir "$work/real"
"$confbase" set "$work/real/ConfBase.cfg" Host uno || fail "set on the real file"
ln -s real/ConfBase.cfg "$work/link.cfg"
"$confbase" set "$work/link.cfg" Host dos || fail "set through a link"
[[ -L $work/link.cfg && $(readlink "$work/link.cfg") == real/ConfBase.cfg ]] ||
  fail "the link was replaced"
expect dos "$work/real/ConfBase.cfg" Host
only "$work/real" ConfBase.cfg

# A read-only file is refused and left whole.
mkdir "$work/ro"
"$confbase" set "$work/ro/ConfBase.cfg" Host uno || fail "set before read-only"
cp "$work/ro/ConfBase.cfg" "$work/ro.before"
chmod 444 "$work/ro/ConfBase.cfg"
if "$confbase" set "$work/ro/ConfBase.cfg" Host dos 2>/dev/null; then
  fail "a read-only file was replaced"
fi
cmp -s "$work/ro.before" "$work/ro/ConfBase.cfg" || fail "a read-only file changed"
only "$work/ro" ConfBase.cfg

if [[ $(id -u) != 0 ]]; then
  ((failures == 0)) || exit 1
  echo "SKIPPED: the unprivileged-user and full-disk cases need root (runuser, mount)"
  exit 77
fi

# nobody rewrites its own file in a folder it may not write: in place, same inode.
mkdir "$work/locked"
locked=$work/locked/ConfBase.cfg
"$confbase" set "$locked" Host uno || fail "set before locking"
chown nobody "$locked"
chmod 600 "$locked"
inode=$(stat -c %i "$locked")
runuser -u nobody -- "$confbase" set "$locked" Host dos || fail "nobody could not rewrite its file"
expect dos "$locked" Host
[[ $(stat -c %i "$locked") == "$inode" ]] || fail "the file was not rewritten in place"
[[ $(stat -c '%a %U' "$locked") == "600 nobody" ]] || fail "mode or owner changed: $(stat -c '%a %U' "$locked")"
only "$work/locked" ConfBase.cfg

# A full disk leaves the old file whole and nothing beside it.
disk=$work/disk
mkdir "$disk"
if ! mount -t tmpfs -o size=256k kelv-test-disk "$disk"; then
  disk=
  fail "cannot mount a tmpfs"
else
  "$confbase" set "$disk/ConfBase.cfg" Host uno || fail "set before filling the disk"
  cp "$disk/ConfBase.cfg" "$work/disk.before"
  dd if=/dev/zero of="$disk/fill" bs=4k 2>/dev/null
  if "$confbase" set "$disk/ConfBase.cfg" Host "$(printf 'x%.0s' {1..20000})" 2>/dev/null; then
    fail "set succeeded on a full disk"
  fi
  cmp -s "$work/disk.before" "$disk/ConfBase.cfg" || fail "the full disk damaged the old file"
  only "$disk" ConfBase.cfg fill
fi

((failures == 0)) || exit 1
echo "all confbase file cases passed"
