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

"case_$case_name"
exit $failed
