# A throw-away installation of the application for whole runs of the installer on Linux
# (sourced by the end-to-end tests and by scripts/demo).
#
# make_sandbox DIR MDB builds in DIR:
#   registry.reg                       the registry (KELV_REGISTRY): PathAplicacion = DIR/app,
#                                      BaseGral = DIR/datos
#   app/Utiles/Actualizador/Updater.exe  a stub updater that writes its arguments, one per
#                                      line, to DIR/updater-args.txt (and its own path to
#                                      DIR/updater-path.txt)
#   app/Utiles/RuviDurUdi, app/Utiles/DatosWeb, datos/Utiles/RuviDurUdi, datos/Utiles/DatosWeb
#   datos/Usuarios.mdb                 a copy of the Jet database MDB
#   inst/                              the folder the packed installer is written to
#   bin/                               stubs put first on PATH by run_installer (xdg-open)

# write_registry DIR APP_FOLDER DATA_FOLDER [KEY]: the registry file with the two values.
write_registry() {
  local key=${4:-SOFTWARE\\Brandel Software\\Kelv Personal}
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\%s]\r\n"PathAplicacion"="%s"\r\n"BaseGral"="%s"\r\n' \
    "$key" "$2" "$3" >"$1/registry.reg"
}

make_sandbox() {
  local dir=$1 mdb=$2
  mkdir -p "$dir"/app/Utiles/{Actualizador,RuviDurUdi,DatosWeb} \
    "$dir"/datos/Utiles/{RuviDurUdi,DatosWeb} "$dir"/inst "$dir"/bin
  write_registry "$dir" "$dir/app" "$dir/datos"
  cp "$mdb" "$dir/datos/Usuarios.mdb"
  cat >"$dir/app/Utiles/Actualizador/Updater.exe" <<STUB
#!/bin/sh
# Stand-in for the application's updater: records how it was started.
printf '%s\n' "\$0" > "$dir/updater-path.tmp" && mv "$dir/updater-path.tmp" "$dir/updater-path.txt"
printf '%s\n' "\$@" > "$dir/updater-args.tmp" && mv "$dir/updater-args.tmp" "$dir/updater-args.txt"
STUB
  chmod +x "$dir/app/Utiles/Actualizador/Updater.exe"
  cat >"$dir/bin/xdg-open" <<STUB
#!/bin/sh
# Stand-in for the desktop's opener: records what it was asked to show.
printf '%s\n' "\$@" > "$dir/explorer-args.tmp" && mv "$dir/explorer-args.tmp" "$dir/explorer-args.txt"
STUB
  chmod +x "$dir/bin/xdg-open"
}

# pack_installer DIR INSTALLER EMPAQUETAR ARGS...: packs INSTALLER with the packages named
# in ARGS (--vers FILE, --mweb FILE) into DIR/inst/Actualizador.
pack_installer() {
  local dir=$1 installer=$2 empaquetar=$3
  shift 3
  "$empaquetar" "$installer" "$@" -o "$dir/inst/Actualizador"
}

# run_installer DIR [ARGS...]: runs DIR/inst/Actualizador unattended with the sandbox's
# registry; standard output and error go to DIR/out.txt and DIR/err.txt, the exit status to
# the variable rc. The array RUN_ENV may add NAME=VALUE settings (no session bus otherwise).
RUN_ENV=()
run_installer() {
  local dir=$1
  shift
  rc=0
  env -u DBUS_SESSION_BUS_ADDRESS -u XDG_RUNTIME_DIR PATH="$dir/bin:$PATH" KELV_NO_UI=1 \
    KELV_REGISTRY="$dir/registry.reg" "${RUN_ENV[@]}" timeout 120 "$dir/inst/Actualizador" "$@" \
    >"$dir/out.txt" 2>"$dir/err.txt" || rc=$?
}

# wait_for_file FILE: waits up to 10 seconds for FILE to appear; false when it does not.
wait_for_file() {
  local i
  for ((i = 0; i < 100; i++)); do
    [[ -e "$1" ]] && return 0
    sleep 0.1
  done
  return 1
}
