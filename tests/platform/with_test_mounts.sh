#!/usr/bin/env bash
# Runs a test program with the folders the file-replacement cases need, and removes them
# afterwards, whatever happens:
#
#   with_test_mounts.sh COMMAND [ARGS...]
#
#   KELV_TEST_LINKS          a folder holding real.cfg and link.cfg, a symbolic link to it;
#                            checked to be a link still when the command ends.
#   KELV_TEST_SMALL_DISK     (root only) a folder on a 1 MiB tmpfs, for the full-disk cases;
#   KELV_TEST_LOCKED_FOLDER  (root only) a folder on that tmpfs that takes no new files (a
#                            read-only bind mount) but holds one writable file, open.cfg
#                            (bound read-write over itself), for the writing-in-place cases.
#
# Without root the two mounted folders are not set and the cases that need them skip, saying
# why. The paths are Linux paths; a program under Wine finds them on drive Z:.
set -uo pipefail

if (($# == 0)); then
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kelv-mounts.XXXXXX")
chmod 755 "$work"
mounts=()
cleanup() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" || umount -l "${mounts[i]}"
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM INT

mkdir "$work/links"
printf old >"$work/links/real.cfg"
ln -s real.cfg "$work/links/link.cfg"
export KELV_TEST_LINKS=$work/links

if [[ $(id -u) == 0 ]]; then
  disk=$work/disk
  locked=$disk/locked
  mkdir "$disk"
  if mount -t tmpfs -o size=1m,mode=755 kelv-test-disk "$disk"; then
    mounts+=("$disk")
    mkdir "$locked"
    : >"$locked/open.cfg"
    if mount --bind "$locked" "$locked"; then
      mounts+=("$locked")
      if mount --bind "$locked/open.cfg" "$locked/open.cfg"; then
        mounts+=("$locked/open.cfg")
        if mount -o remount,bind,ro "$locked"; then
          export KELV_TEST_SMALL_DISK=$disk KELV_TEST_LOCKED_FOLDER=$locked
        fi
      fi
    fi
  fi
  if [[ -z ${KELV_TEST_LOCKED_FOLDER:-} ]]; then
    echo "with_test_mounts.sh: cannot mount the test folders; those cases will skip" >&2
  fi
else
  echo "with_test_mounts.sh: not root, so no small disk and no locked folder; those cases will skip" >&2
fi

"$@"
status=$?
if [[ ! -L $work/links/link.cfg ]]; then
  echo "with_test_mounts.sh: link.cfg is no longer a symbolic link" >&2
  ((status == 0)) && status=1
fi
exit "$status"
