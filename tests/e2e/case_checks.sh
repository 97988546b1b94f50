# The frame of one end-to-end case (sourced by installer_linux.sh and installer_wine.sh, on
# Linux, after they set case_name): a throw-away folder in $work, the process ids in stubs
# killed and the folder removed on exit, the checks, and flip_byte. Each failed check is
# reported with the case's name and sets failed to 1; the case ends with "exit $failed".

work=$(mktemp -d)
stubs=()
cleanup() {
  local pid
  for pid in "${stubs[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

failed=0
fail() {
  echo "FAIL [$case_name]: $*" >&2
  failed=1
}
expect_eq() { [[ "$1" == "$2" ]] || fail "$3: expected [$2], got [$1]"; }
expect_same_file() { cmp -s "$1" "$2" || fail "$1 differs from $2"; }
expect_missing() { [[ ! -e "$1" ]] || fail "$1 should not exist"; }

# flip_byte FILE OFFSET: changes one bit of the byte at OFFSET, as a bad download would.
flip_byte() {
  python3 - "$1" "$2" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
data[int(sys.argv[2])] ^= 0x01
open(sys.argv[1], "wb").write(data)
PY
}
