#!/bin/bash
# The dialog and the message box without a window system: the message and the buttons go
# to standard error; without a terminal (or with KELV_NO_UI) the answer is Enter's and
# nothing is read; on a terminal the typed letter answers.
#
# Usage: dialog_console_test.sh PROBE
set -u
if [ $# -ne 1 ] || [ "$1" = "--help" ]; then
  sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'
  [ "${1:-}" = "--help" ] && exit 0 || exit 2
fi
probe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL $1"
  sed 's/^/    /' "$work/err"
  failures=$((failures + 1))
}

# check NAME EXPECTED_OUT STDERR_NEEDLE -- command...
check() {
  local name=$1 expected=$2 needle=$3
  shift 4
  if ! timeout 30 "$@" >"$work/out" 2>"$work/err" </dev/null; then
    fail "$name: did not end well (status $?)"
    return
  fi
  local got
  got=$(cat "$work/out")
  if [ "$got" != "$expected" ]; then
    fail "$name: expected \"$expected\", got \"$got\""
  elif ! grep -qF -- "$needle" "$work/err"; then
    fail "$name: standard error lacks \"$needle\""
  else
    echo "ok   $name"
  fi
}

check no_display 6 "Botones:  [S]i  [N]o  [C]ancelar" -- \
  env -u DISPLAY -u KELV_NO_UI "$probe" "¿Seguir?" 3 1
check display_that_does_not_open 6 "Kelv Personal®: Dos" -- \
  env -u KELV_NO_UI DISPLAY=:987 "$probe" "Dos" 2 1 "" "" 
check no_ui 0 "Título: Elija" -- \
  env KELV_NO_UI=1 DISPLAY=:987 "$probe" "Elija" 5 0 "&Uno*&Dos" "Título"
check no_ui_tipo4 6 "S[i] a todo  N[o] a todo" -- env KELV_NO_UI=1 "$probe" "m" 4 2
check message_box_no_display cerrado "Actualizador Kelv Personal®: Línea 1" -- \
  env -u DISPLAY -u KELV_NO_UI "$probe" --box "Línea 1\nLínea 2"
check message_box_no_ui cerrado "Notificador: No se pudo conectar" -- \
  env KELV_NO_UI=1 "$probe" --box "No se pudo conectar" "Notificador"

# On a terminal (a pseudo-terminal here) a typed letter answers; KELV_NO_UI still reads
# nothing and answers as Enter.
on_terminal() {  # EXPECTED NO_UI TYPED ARGS...
  local expected=$1 noui=$2 typed=$3
  shift 3
  timeout 30 python3 - "$noui" "$typed" "$probe" "$@" <<'PY' >"$work/out" 2>"$work/err"
import os, pty, sys, time
noui, typed, argv = sys.argv[1], sys.argv[2], sys.argv[3:]
env = dict(os.environ)
env.pop("DISPLAY", None)
env["KELV_NO_UI"] = noui
pid, fd = pty.fork()
if pid == 0:
    os.execve(argv[0], argv, env)
time.sleep(0.5)
os.write(fd, typed.encode())
data = b""
while True:
    try:
        chunk = os.read(fd, 4096)
    except OSError:
        break
    if not chunk:
        break
    data += chunk
os.waitpid(pid, 0)
import re
# The answer printed by the probe (a code, or "cerrado"), not the echo of what was typed.
lines = [l for l in data.decode("utf-8", "replace").replace("\r", "").split("\n")
         if re.fullmatch(r"-?[0-9]+|cerrado", l.strip())]
print(lines[-1] if lines else "")
PY
  local got
  got=$(cat "$work/out")
  local name
  name="terminal $(printf %q "$typed") KELV_NO_UI=$noui"
  if [ "$got" = "$expected" ]; then echo "ok   $name -> $got"
  else fail "$name: expected \"$expected\", got \"$got\""; fi
}
on_terminal 7 "" $'n\n' "¿Seguir?" 3 1
on_terminal 2 "" $'x\nc\n' "¿Seguir?" 3 1
on_terminal 6 "" $'\n' "¿Seguir?" 3 1
on_terminal 6 1 $'n\n' "¿Seguir?" 3 1
on_terminal cerrado "" $'\n' --box "Aviso"

if [ $failures -ne 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all console cases passed"
