#!/usr/bin/env bash
# Whole runs of the Linux installer in a throw-away sandbox (see sandbox.sh), unattended
# (KELV_NO_UI), checking the exit status, the files left behind, the messages written to
# standard error and the command line the updater or the explorer received.
# Usage: installer_linux.sh INSTALLER EMPAQUETAR MDB CASE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/sandbox.sh"

installer=$1 empaquetar=$2 mdb=$3 case_name=$4
source "$here/case_checks.sh"
expect_err_has() { grep -qF -- "$1" "$sb/err.txt" || fail "no message [$1]; got: $(cat "$sb/err.txt")"; }
expect_err_lacks() { ! grep -qF -- "$1" "$sb/err.txt" || fail "unexpected message [$1]"; }
expect_updater() {
  wait_for_file "$sb/updater-args.txt" || { fail "the updater was not started"; return; }
  expect_eq "$(cat "$sb/updater-args.txt")" "$1" "updater arguments"
  expect_eq "$(cat "$sb/updater-path.txt")" "$sb/app/Utiles/Actualizador/Updater.exe" "updater path"
}
expect_not_handed_over() {
  sleep 0.5
  expect_missing "$sb/updater-args.txt"
  expect_missing "$sb/explorer-args.txt"
}

sb="$work/sandbox"
make_sandbox "$sb" "$mdb"
head -c 300000 /dev/urandom >"$work/package.zip"
readonly TITLE="Actualizador Kelv Personal®: "
readonly MSG_RUNNING="No se puede ejecutar la actualización porque existe un proceso de"
readonly MSG_NO_DB="No se pudo conectar con la BD de usuarios ubicada en "

# A program of the given file name running from the sandbox (a copy of sleep).
start_stub_process() {
  cp "$(command -v sleep)" "$work/$1"
  "$work/$1" 60 &
  stubs+=($!)
  sleep 0.2
}

case_normal() {
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip" || fail "packing"
  : >"$sb/app/Utiles/DatosWeb/AuxMWeb.tmp"
  chmod 444 "$sb/app/Utiles/DatosWeb/AuxMWeb.tmp"  # leftovers go, read-only ones too
  run_installer "$sb"
  expect_eq "$rc" 0 "exit status"
  expect_eq "$(cat "$sb/err.txt")" "" "messages"
  expect_same_file "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp" "$work/package.zip"
  expect_same_file "$sb/app/Utiles/RuviDurUdi/Actualizador" "$sb/inst/Actualizador"
  expect_same_file "$sb/datos/Utiles/RuviDurUdi/Actualizador" "$sb/inst/Actualizador"
  expect_missing "$sb/app/Utiles/DatosWeb/AuxMWeb.tmp"
  expect_updater "ORI=$sb/app/Utiles/RuviDurUdi/AuxActu.tmp,NVer=40161"
  expect_missing "$sb/explorer-args.txt"
}

case_package_only() {
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip" || fail "packing"
  local line
  for line in "UPD" "x-upD-y" "/datos/Updates"; do
    echo "old package" >"$sb/app/Utiles/RuviDurUdi/AuxActu.upd"
    rm -f "$sb/explorer-args.txt"
    run_installer "$sb" $line
    expect_eq "$rc" 0 "exit status for [$line]"
    expect_same_file "$sb/app/Utiles/RuviDurUdi/AuxActu.upd" "$work/package.zip"
    expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
    wait_for_file "$sb/explorer-args.txt" || fail "the explorer was not started for [$line]"
    expect_eq "$(cat "$sb/explorer-args.txt")" "$sb/app/Utiles/RuviDurUdi/" "explorer arguments"
  done
  # With a session bus the desktop's file manager is asked to show the file selected; when
  # it does not answer, the folder is opened instead.
  local answer
  for answer in 0 1; do
    printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s/gdbus-args.txt"\nexit %s\n' "$sb" "$answer" >"$sb/bin/gdbus"
    chmod +x "$sb/bin/gdbus"
    rm -f "$sb/explorer-args.txt" "$sb/gdbus-args.txt"
    RUN_ENV=(DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent)
    run_installer "$sb" upd
    RUN_ENV=()
    expect_eq "$rc" 0 "exit status with a session bus (file manager answers $answer)"
    wait_for_file "$sb/gdbus-args.txt" || fail "the file manager was not asked"
    expect_eq "$(tail -2 "$sb/gdbus-args.txt" | head -1)" "['file://$sb/app/Utiles/RuviDurUdi/AuxActu.upd']" "items shown"
    if [[ $answer == 0 ]]; then
      sleep 0.5
      expect_missing "$sb/explorer-args.txt"
    else
      wait_for_file "$sb/explorer-args.txt" || fail "the folder was not opened"
    fi
  done
  sleep 0.3
  expect_missing "$sb/updater-args.txt"
}

case_running_program() {
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip" || fail "packing"
  # With the data folder missing too, only the running program is reported.
  write_registry "$sb" "$sb/app" "$sb/no-datos"
  local name message
  for name in KelvPersonal.exe kelvpersonal.exe ModuloWeb.exe; do
    start_stub_process "$name"
    run_installer "$sb"
    message="KELVPersonal.exe"
    [[ "$name" == ModuloWeb.exe ]] && message="ModuloWeb.exe"
    expect_eq "$rc" 2 "exit status with $name running"
    expect_eq "$(cat "$sb/err.txt")" "$TITLE$MSG_RUNNING $message corriendo" "message with $name running"
    kill "${stubs[-1]}" 2>/dev/null
    wait "${stubs[-1]}" 2>/dev/null
  done
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  expect_not_handed_over
}

case_missing_data_folder() {
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip" || fail "packing"
  local base
  for base in "$sb/no-datos" ""; do
    write_registry "$sb" "$sb/app" "$base"
    run_installer "$sb"
    expect_eq "$rc" 3 "exit status for data folder [$base]"
    expect_eq "$(cat "$sb/err.txt")" "Notificador: $MSG_NO_DB$base" "message for data folder [$base]"
  done
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  expect_not_handed_over
}

case_database_does_not_open() {
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip" || fail "packing"
  head -c 4096 /dev/urandom >"$sb/datos/Usuarios.mdb"
  # The branding file names the product shown as the dialog's title.
  python3 - "$sb/inst/DatosConf.ini" <<'PY'
import sys
key = b"57204618"
name = "RURUNómina QWTZM Demo".encode("cp1252")
cipher = bytes(b ^ key[i % len(key)] for i, b in enumerate(name))
open(sys.argv[1], "wb").write(b"[NombreProducto]\r\n" + cipher + b"\r\n[/NombreProducto]")
PY
  local base
  for base in "$sb/datos" "$sb/datos/"; do
    write_registry "$sb" "$sb/app" "$base"
    run_installer "$sb"
    expect_eq "$rc" 3 "exit status for data folder [$base]"
    expect_err_has "Nómina Demo: $MSG_NO_DB$sb/datos/Usuarios.mdb"
    expect_err_lacks "Notificador"
  done
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  expect_not_handed_over
}

case_trailing_separators() {
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip" || fail "packing"
  write_registry "$sb" "$sb/app/" "$sb/datos/"
  run_installer "$sb"
  expect_eq "$rc" 0 "exit status"
  expect_same_file "$sb/datos/Utiles/RuviDurUdi/Actualizador" "$sb/inst/Actualizador"
  expect_updater "ORI=$sb/app/Utiles/RuviDurUdi/AuxActu.tmp,NVer=40161"
}

case_one_byte_version() {
  printf 'x' >"$work/one-byte"
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/one-byte" --mweb "$work/package.zip" || fail "packing"
  run_installer "$sb"
  expect_eq "$rc" 0 "exit status"
  expect_same_file "$sb/app/Utiles/DatosWeb/AuxMWeb.tmp" "$work/package.zip"
  expect_same_file "$sb/app/Utiles/DatosWeb/Actualizador" "$sb/inst/Actualizador"
  expect_same_file "$sb/datos/Utiles/DatosWeb/Actualizador" "$sb/inst/Actualizador"
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  expect_updater "ORI=$sb/app/Utiles/DatosWeb/AuxMWeb.tmp,NVer=40161"
}

case_help_and_packer_errors() {
  local out
  out=$("$installer" --help) || fail "installer --help failed"
  [[ "$out" == *"Usage: Actualizador"* && "$out" == *"6 the package carried"* ]] ||
    fail "installer --help: $out"
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  "$empaquetar" --help | grep -q "^Usage: empaquetar" || fail "empaquetar --help"
  local args expected_rc expected_text
  while IFS='|' read -r expected_rc expected_text args; do
    rc=0
    out=$(eval "\"\$empaquetar\" $args" 2>&1) || rc=$?
    expect_eq "$rc" "$expected_rc" "empaquetar $args"
    [[ "$out" == *"$expected_text"* ]] || fail "empaquetar $args said: $out"
    expect_missing "$work/out"
  done <<TABLE
2|Usage: empaquetar|
2|Usage: empaquetar|"\$installer" -o "\$work/out"
2|-o needs a value|"\$installer" --vers "\$work/package.zip" -o
2|--verify needs a value|--verify
2|--verify takes the installer alone|--verify "\$installer" -o "\$work/out"
1|cannot read the installer $work/none|"\$work/none" --vers "\$work/package.zip" -o "\$work/out"
1|cannot read the package $work/none|"\$installer" --vers "\$work/none" -o "\$work/out"
1|given twice|"\$installer" --vers "\$work/package.zip" --vers "\$work/package.zip" -o "\$work/out"
TABLE
}

case_package_not_written() {
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip" || fail "packing"
  rmdir "$sb/app/Utiles/RuviDurUdi"
  run_installer "$sb"
  expect_eq "$rc" 4 "exit status"
  expect_eq "$(cat "$sb/err.txt")" \
    "${TITLE}No se pudo escribir el paquete de actualización en $sb/app/Utiles/RuviDurUdi/AuxActu.tmp" "message"
  expect_missing "$sb/app/Utiles/RuviDurUdi"
  expect_not_handed_over
}

readonly MSG_DAMAGED="El paquete de actualización incluido en el instalador está dañado. Descargue el instalador nuevamente."

# expect_nothing_handed_on [UPD]: a damaged installer's run, as the checks see it: status 6,
# its message, no package and no copy of the installer left, nothing started.
expect_nothing_handed_on() {
  expect_eq "$rc" 6 "exit status$1"
  expect_eq "$(cat "$sb/err.txt")" "$TITLE$MSG_DAMAGED" "message$1"
  local f
  for f in app/Utiles/RuviDurUdi/AuxActu.tmp app/Utiles/RuviDurUdi/AuxActu.upd \
           app/Utiles/RuviDurUdi/Actualizador datos/Utiles/RuviDurUdi/Actualizador; do
    expect_missing "$sb/$f"
  done
  expect_not_handed_over
}

# The size of the installer before packing: where the package starts in the packed file.
base_size() { stat -c %s "$installer"; }

case_damaged_package() {
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip" || fail "packing"
  # One byte of the package flipped, in a normal and in a package-only run.
  flip_byte "$sb/inst/Actualizador" $(($(base_size) + 150000))
  local mode
  for mode in "" UPD; do
    run_installer "$sb" $mode
    expect_nothing_handed_on " [$mode]"
  done
}

case_cut_short() {
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip" || fail "packing"
  cp "$sb/inst/Actualizador" "$work/whole"
  local size cut
  size=$(stat -c %s "$work/whole")
  # Inside the package, and inside the footer.
  for cut in $(($(base_size) + 1000)) $((size - 100)); do
    head -c "$cut" "$work/whole" >"$sb/inst/Actualizador"
    run_installer "$sb"
    expect_nothing_handed_on " [cut at $cut of $size]"
  done
}

case_never_packed() {
  # Nothing packed: the package is missing, and the run goes on as the rules say for that.
  cp "$installer" "$sb/inst/Actualizador"
  run_installer "$sb"
  expect_eq "$rc" 0 "exit status"
  expect_eq "$(cat "$sb/err.txt")" "" "messages"
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  expect_updater "ORI=,NVer=40161"
}

# old_format_installer OUT: the installer with the package behind a footer of the layout
# packers wrote before digests: 4 entries (name, offset, length), base size, count,
# version 1, magic; written here from that description, not by empaquetar.
old_format_installer() {
  python3 - "$installer" "$work/package.zip" "$1" <<'PY'
import struct, sys
installer, package, out = sys.argv[1:4]
base = open(installer, "rb").read()
data = open(package, "rb").read()
entries = struct.pack("<8sQQ", b"VERS", len(base), len(data)) + bytes(24 * 3)
footer = entries + struct.pack("<QII8s", len(base), 1, 1, b"KELVPAK1")
open(out, "wb").write(base + data + footer)
PY
  chmod +x "$1"
}

case_earlier_format() {
  old_format_installer "$sb/inst/Actualizador"
  # empaquetar --without-digest writes that same layout.
  "$empaquetar" "$installer" --vers "$work/package.zip" --without-digest -o "$work/packed-old" ||
    fail "packing without digests"
  expect_same_file "$work/packed-old" "$sb/inst/Actualizador"
  run_installer "$sb"
  expect_eq "$rc" 0 "exit status"
  expect_eq "$(cat "$sb/err.txt")" "" "messages"
  expect_same_file "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp" "$work/package.zip"
  expect_same_file "$sb/datos/Utiles/RuviDurUdi/Actualizador" "$sb/inst/Actualizador"
  expect_updater "ORI=$sb/app/Utiles/RuviDurUdi/AuxActu.tmp,NVer=40161"
}

case_verify() {
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip" --mweb "$work/package.zip" ||
    fail "packing"
  local digest size out
  digest=$(sha256sum "$work/package.zip" | cut -d' ' -f1)
  size=$(stat -c %s "$work/package.zip")
  cp "$sb/inst/Actualizador" "$work/good"
  cp "$work/good" "$work/flipped"
  flip_byte "$work/flipped" $(($(base_size) + size + 7))
  head -c $(($(base_size) + 5000)) "$work/good" >"$work/cut"
  old_format_installer "$work/old"
  local flipped_digest
  flipped_digest=$(python3 -c "import hashlib,sys; d=bytearray(open(sys.argv[1],'rb').read()); d[7]^=0x01; print(hashlib.sha256(d).hexdigest())" "$work/package.zip")
  # file|status|what standard output holds (one line per package)|what standard error holds
  local file expected_rc expected_out expected_err
  while IFS='|' read -r file expected_rc expected_out expected_err; do
    rc=0
    out=$("$empaquetar" --verify "$file" 2>"$work/verify-err") || rc=$?
    expect_eq "$rc" "$expected_rc" "empaquetar --verify $file"
    expect_eq "$out" "$(printf '%b' "$expected_out")" "output of --verify $file"
    if [[ -z "$expected_err" ]]; then
      expect_eq "$(cat "$work/verify-err")" "" "standard error of --verify $file"
    else
      grep -qF -- "$expected_err" "$work/verify-err" ||
        fail "--verify $file said on standard error: $(cat "$work/verify-err")"
    fi
  done <<TABLE
$work/good|0|VERS $size $digest ok\nMWEB $size $digest ok|
$work/flipped|3|VERS $size $digest ok\nMWEB $size $flipped_digest DAMAGED: the stored digest is $digest|
$work/cut|3||is damaged: it carries 5000 bytes after its executable image
$work/old|4|VERS $size $digest no digest stored (packed before digests were stored)|
$installer|5||carries no package
$work/none|1||cannot read $work/none
TABLE
}

case_package_only_edge() {
  pack_installer "$sb" "$installer" "$empaquetar" --vers "$work/package.zip" || fail "packing"
  # An earlier package-only file that cannot be replaced: the package counts as not written.
  local upd="$sb/app/Utiles/RuviDurUdi/AuxActu.upd"
  echo "old package" >"$upd"
  chmod 444 "$upd"
  run_installer "$sb" UPD
  expect_eq "$rc" 4 "exit status with a read-only $upd"
  expect_eq "$(cat "$sb/err.txt")" "${TITLE}No se pudo escribir el paquete de actualización en $upd" "message"
  expect_eq "$(cat "$upd")" "old package" "the old package-only file"
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  expect_not_handed_over
  chmod 644 "$upd"
  # An application folder below a folder named x.tmp: only the file's extension changes.
  local app="$sb/x.tmp/app"
  mkdir -p "$app/Utiles/RuviDurUdi"
  write_registry "$sb" "$app" "$sb/datos"
  run_installer "$sb" UPD
  expect_eq "$rc" 0 "exit status below x.tmp"
  expect_same_file "$app/Utiles/RuviDurUdi/AuxActu.upd" "$work/package.zip"
  expect_missing "$app/Utiles/RuviDurUdi/AuxActu.tmp"
  wait_for_file "$sb/explorer-args.txt" || fail "the explorer was not started below x.tmp"
  expect_eq "$(cat "$sb/explorer-args.txt")" "$app/Utiles/RuviDurUdi/" "explorer arguments below x.tmp"
}

"case_$case_name"
exit $failed
