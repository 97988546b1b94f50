#!/usr/bin/env bash
# Whole runs of the Windows installer under Wine, in a throw-away sandbox: the installer and
# a driver of the installation carry their packages as "CUSTOM" resources, packed by the
# Windows empaquetar.exe; the registry values are written with "wine reg add"; the updater is
# a small Windows program that records its command line. Wine has no Jet provider, so the
# full program is run for the refusals (a running program, no data folder, a database that
# does not open), and the driver for the package, the copies and the start of the updater.
# Usage: installer_wine.sh WINE ACTUALIZADOR EMPAQUETAR STUB_UPDATER DRIVER CASE
# (WINEPREFIX and the other Wine variables come from the environment)
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
wine=$1 actualizador=$2 empaquetar=$3 stub=$4 driver=$5 case_name=$6
source "$here/case_checks.sh"

# The Windows form of a path in the sandbox (Wine's Z: drive is the root folder).
win() { printf 'Z:%s' "${1//\//\\}"; }

sb="$work/sandbox"
mkdir -p "$sb"/app/Utiles/{Actualizador,RuviDurUdi,DatosWeb} "$sb"/datos/Utiles/{RuviDurUdi,DatosWeb} "$sb"/inst
cp "$stub" "$sb/app/Utiles/Actualizador/Updater.exe"
printf 'not a database' >"$sb/datos/Usuarios.mdb"
head -c 200000 /dev/urandom >"$work/package.zip"
key="SOFTWARE\\KelvE2E\\$case_name"
readonly TITLE="Actualizador Kelv Personal®: "
readonly MSG_NO_DB="No se pudo conectar con la BD de usuarios ubicada en "
readonly CMDLINE="$sb/app/Utiles/Actualizador/updater-cmdline.txt"

# registry APP DATA: the two values under this case's own key, named in DatosConf.ini.
registry() {
  "$wine" reg add "HKLM\\$key" /v PathAplicacion /t REG_SZ /d "$1" /f >/dev/null 2>&1 || fail "reg add"
  "$wine" reg add "HKLM\\$key" /v BaseGral /t REG_SZ /d "$2" /f >/dev/null 2>&1 || fail "reg add"
  printf '[RutaDeRegistro]\r\n%s\r\n[/RutaDeRegistro]' "$key" >"$sb/inst/DatosConf.ini"
}

# pack PROGRAM NAME ARGS...: packs PROGRAM into the sandbox as inst/NAME with empaquetar.exe.
pack() {
  local program=$1 name=$2
  shift 2
  "$wine" "$empaquetar" "$(win "$program")" "$@" -o "$(win "$sb/inst/$name")" || fail "packing $name"
}

# run PROGRAM ARGS...: runs a program unattended; output in out.txt/err.txt, status in rc.
run() {
  rc=0
  KELV_NO_UI=1 timeout 120 "$wine" "$@" >"$sb/out.txt" 2>"$sb/err.txt" || rc=$?
  tr -d '\r' <"$sb/err.txt" >"$sb/err.clean" && mv "$sb/err.clean" "$sb/err.txt"
}

wait_for_file() {
  local i
  for ((i = 0; i < 150; i++)); do
    [[ -e "$1" ]] && return 0
    sleep 0.2
  done
  return 1
}

case_running_program() {
  pack "$actualizador" Actualizador.exe --vers "$(win "$work/package.zip")"
  registry "$(win "$sb/app")" "$(win "$sb/no-datos")"
  cp "$stub" "$work/KelvPersonal.exe"
  "$wine" "$work/KelvPersonal.exe" SLEEP >/dev/null 2>&1 &
  stubs+=($!)
  sleep 3
  run "$sb/inst/Actualizador.exe"
  expect_eq "$rc" 2 "exit status"
  expect_eq "$(cat "$sb/err.txt")" \
    "${TITLE}No se puede ejecutar la actualización porque existe un proceso de KELVPersonal.exe corriendo" "message"
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  expect_missing "$CMDLINE"
}

case_missing_data_folder() {
  pack "$actualizador" Actualizador.exe --vers "$(win "$work/package.zip")"
  registry "$(win "$sb/app")" "$(win "$sb/no-datos")"
  run "$sb/inst/Actualizador.exe"
  expect_eq "$rc" 3 "exit status"
  expect_eq "$(cat "$sb/err.txt")" "Notificador: $MSG_NO_DB$(win "$sb/no-datos")" "message"
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  expect_missing "$CMDLINE"
}

case_database_does_not_open() {
  pack "$actualizador" Actualizador.exe --vers "$(win "$work/package.zip")"
  local base
  for base in "$(win "$sb/datos")" "$(win "$sb/datos")\\"; do
    registry "$(win "$sb/app")" "$base"
    run "$sb/inst/Actualizador.exe"
    expect_eq "$rc" 3 "exit status for [$base]"
    grep -qF "Kelv Personal®: $MSG_NO_DB$(win "$sb/datos")\\Usuarios.mdb" "$sb/err.txt" ||
      fail "message for [$base]: $(cat "$sb/err.txt")"
  done
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  expect_missing "$CMDLINE"
}

case_install_normal() {
  pack "$driver" install_driver.exe --vers "$(win "$work/package.zip")"
  local app
  for app in "$(win "$sb/app")" "$(win "$sb/app")\\"; do
    rm -f "$CMDLINE" "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
    run "$sb/inst/install_driver.exe" "$app" "$(win "$sb/datos")"
    expect_eq "$rc" 0 "exit status for [$app]"
    expect_same_file "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp" "$work/package.zip"
    expect_same_file "$sb/app/Utiles/RuviDurUdi/install_driver.exe" "$sb/inst/install_driver.exe"
    expect_same_file "$sb/datos/Utiles/RuviDurUdi/install_driver.exe" "$sb/inst/install_driver.exe"
    wait_for_file "$CMDLINE" || { fail "the updater was not started for [$app]"; continue; }
    expect_eq "$(cat "$CMDLINE")" \
      "\"$(win "$sb/app")\\Utiles\\Actualizador\\Updater.exe\" ORI=$(win "$sb/app")\\Utiles\\RuviDurUdi\\AuxActu.tmp,NVer=40161" \
      "updater command line for [$app]"
  done
}

case_install_one_byte_version() {
  printf 'x' >"$work/one-byte"
  pack "$driver" install_driver.exe --vers "$(win "$work/one-byte")" --mweb "$(win "$work/package.zip")"
  run "$sb/inst/install_driver.exe" "$(win "$sb/app")" "$(win "$sb/datos")"
  expect_eq "$rc" 0 "exit status"
  expect_same_file "$sb/app/Utiles/DatosWeb/AuxMWeb.tmp" "$work/package.zip"
  expect_same_file "$sb/datos/Utiles/DatosWeb/install_driver.exe" "$sb/inst/install_driver.exe"
  wait_for_file "$CMDLINE" || fail "the updater was not started"
  expect_eq "$(cat "$CMDLINE" 2>/dev/null)" \
    "\"$(win "$sb/app")\\Utiles\\Actualizador\\Updater.exe\" ORI=$(win "$sb/app")\\Utiles\\DatosWeb\\AuxMWeb.tmp,NVer=40161" \
    "updater command line"
}

case_install_package_not_written() {
  pack "$driver" install_driver.exe --vers "$(win "$work/package.zip")"
  rmdir "$sb/app/Utiles/RuviDurUdi"
  run "$sb/inst/install_driver.exe" "$(win "$sb/app")" "$(win "$sb/datos")"
  expect_eq "$rc" 4 "exit status"
  expect_eq "$(cat "$sb/err.txt")" \
    "No se pudo escribir el paquete de actualización en $(win "$sb/app")\\Utiles\\RuviDurUdi\\AuxActu.tmp" "message"
  sleep 1
  expect_missing "$CMDLINE"
}

readonly MSG_DAMAGED="El paquete de actualización incluido en el instalador está dañado. Descargue el instalador nuevamente."

# payload_at FILE: where the package's bytes start in FILE (found by its first 64 bytes).
payload_at() {
  python3 - "$1" "$work/package.zip" <<'PY'
import sys
data, package = open(sys.argv[1], "rb").read(), open(sys.argv[2], "rb").read()
at = data.find(package[:64])
assert at >= 0
print(at)
PY
}

# expect_nothing_left: no package, no copy of the installer, no updater started.
expect_nothing_left() {
  local f
  for f in app/Utiles/RuviDurUdi/AuxActu.tmp app/Utiles/RuviDurUdi/AuxActu.upd \
           app/Utiles/RuviDurUdi/install_driver.exe datos/Utiles/RuviDurUdi/install_driver.exe; do
    expect_missing "$sb/$f"
  done
  sleep 1
  expect_missing "$CMDLINE"
}

case_install_damaged() {
  pack "$driver" install_driver.exe --vers "$(win "$work/package.zip")"
  flip_byte "$sb/inst/install_driver.exe" $(($(payload_at "$sb/inst/install_driver.exe") + 100000))
  local mode
  for mode in "" UPD; do
    run "$sb/inst/install_driver.exe" "$(win "$sb/app")" "$(win "$sb/datos")" $mode
    expect_eq "$rc" 6 "exit status [$mode]"
    expect_eq "$(cat "$sb/err.txt")" "$MSG_DAMAGED" "message [$mode]"
    expect_nothing_left
  done
}

case_install_cut_short() {
  # Cut inside the package's resource: the system's loader refuses the file, so nothing of
  # it runs; empaquetar --verify tells it damaged.
  pack "$driver" install_driver.exe --vers "$(win "$work/package.zip")"
  local whole="$work/whole.exe"
  cp "$sb/inst/install_driver.exe" "$whole"
  head -c $(($(payload_at "$whole") + 100000)) "$whole" >"$sb/inst/install_driver.exe"
  run "$sb/inst/install_driver.exe" "$(win "$sb/app")" "$(win "$sb/datos")"
  [[ "$rc" != 0 ]] || fail "a cut installer ended with status 0"
  expect_nothing_left
  rc=0
  "$wine" "$empaquetar" --verify "$(win "$sb/inst/install_driver.exe")" >/dev/null 2>&1 || rc=$?
  expect_eq "$rc" 3 "empaquetar --verify on the cut installer"
}

case_install_earlier_format() {
  # Packed without digests, as before they were stored: the package is handed over unchecked.
  pack "$driver" install_driver.exe --vers "$(win "$work/package.zip")" --without-digest
  run "$sb/inst/install_driver.exe" "$(win "$sb/app")" "$(win "$sb/datos")"
  expect_eq "$rc" 0 "exit status"
  expect_same_file "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp" "$work/package.zip"
  wait_for_file "$CMDLINE" || fail "the updater was not started"
  expect_eq "$(cat "$CMDLINE" 2>/dev/null)" \
    "\"$(win "$sb/app")\\Utiles\\Actualizador\\Updater.exe\" ORI=$(win "$sb/app")\\Utiles\\RuviDurUdi\\AuxActu.tmp,NVer=40161" \
    "updater command line"
}

case_install_never_packed() {
  cp "$driver" "$sb/inst/install_driver.exe"
  run "$sb/inst/install_driver.exe" "$(win "$sb/app")" "$(win "$sb/datos")"
  expect_eq "$rc" 0 "exit status"
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  wait_for_file "$CMDLINE" || fail "the updater was not started"
  expect_eq "$(cat "$CMDLINE" 2>/dev/null)" \
    "\"$(win "$sb/app")\\Utiles\\Actualizador\\Updater.exe\" ORI=,NVer=40161" "updater command line"
}

case_install_package_only_protected() {
  pack "$driver" install_driver.exe --vers "$(win "$work/package.zip")"
  local upd="$sb/app/Utiles/RuviDurUdi/AuxActu.upd"
  echo "old package" >"$upd"
  chmod 444 "$upd"
  run "$sb/inst/install_driver.exe" "$(win "$sb/app")" "$(win "$sb/datos")" UPD
  expect_eq "$rc" 4 "exit status"
  expect_eq "$(cat "$sb/err.txt")" \
    "No se pudo escribir el paquete de actualización en $(win "$sb/app")\\Utiles\\RuviDurUdi\\AuxActu.upd" "message"
  expect_eq "$(cat "$upd")" "old package" "the old package-only file"
  expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  chmod 644 "$upd"
}

case_verify() {
  pack "$driver" good.exe --vers "$(win "$work/package.zip")" --mweb "$(win "$work/package.zip")"
  pack "$driver" old.exe --vers "$(win "$work/package.zip")" --without-digest
  cp "$sb/inst/good.exe" "$sb/inst/flipped.exe"
  flip_byte "$sb/inst/flipped.exe" $(($(payload_at "$sb/inst/good.exe") + 7))
  cp "$driver" "$sb/inst/unpacked.exe"
  local digest size out
  digest=$(sha256sum "$work/package.zip" | cut -d' ' -f1)
  size=$(stat -c %s "$work/package.zip")
  local name expected_rc expected_out
  while IFS='|' read -r name expected_rc expected_out; do
    rc=0
    out=$("$wine" "$empaquetar" --verify "$(win "$sb/inst/$name")" 2>/dev/null | tr -d '\r') || rc=$?
    expect_eq "$rc" "$expected_rc" "empaquetar --verify $name"
    [[ "$out" == *"$expected_out"* ]] || fail "--verify $name printed: $out"
  done <<TABLE
good.exe|0|VERS $size $digest ok
good.exe|0|MWEB $size $digest ok
flipped.exe|3|DAMAGED: the stored digest is $digest
old.exe|4|VERS $size $digest no digest stored
unpacked.exe|5|
none.exe|1|
TABLE
}

case_help() {
  # The windowed installer has no console: its usage goes to a message box, here (KELV_NO_UI)
  # to standard error; nothing is installed.
  pack "$actualizador" Actualizador.exe --vers "$(win "$work/package.zip")"
  local arg
  for arg in "/?" "--help"; do
    run "$sb/inst/Actualizador.exe" "$arg"
    expect_eq "$rc" 0 "exit status of $arg"
    grep -qF "Actualizador: Actualizador: installs the update package it carries." "$sb/err.txt" ||
      fail "usage for $arg: $(cat "$sb/err.txt")"
    grep -qF "6 the package carried" "$sb/err.txt" || fail "status 6 in the usage for $arg"
    expect_missing "$sb/app/Utiles/RuviDurUdi/AuxActu.tmp"
  done
}

"case_$case_name"
exit $failed
