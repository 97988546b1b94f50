#!/bin/bash
# Drives the real dialog window and the plain message box on a private X server (Xvfb):
# starts dialog_probe, waits for its window, presses keys with xdotool and checks the code
# it prints. A screenshot of every button set is written to SHOTS.
#
# Usage: dialog_window_test.sh PROBE SHOTS [RUNNER...]
#   PROBE   the dialog_probe program
#   SHOTS   folder for the screenshots (created)
#   RUNNER  words put before PROBE, e.g. "wine" for the Windows build (none on Linux)
set -u

if [ $# -lt 2 ] || [ "$1" = "--help" ]; then
  sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
  [ "${1:-}" = "--help" ] && exit 0 || exit 2
fi
probe=$1
shots=$2
shift 2
runner=("$@")
mkdir -p "$shots"

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb_pid=
cleanup() {
  [ -n "${probe_pid:-}" ] && kill "$probe_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number itself and reports it. It must not reset when the last
# client leaves between two cases, or the next probe may find it unavailable.
Xvfb -noreset -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
unset KELV_NO_UI
export ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0

# Wine draws every window of a prefix through the display its first process saw; other
# tests share the build's prefix without one, so the Windows build gets a prefix of its own,
# made here with this display.
if [ ${#runner[@]} -gt 0 ] && [ -n "${KELV_DIALOG_WINEPREFIX:-}" ]; then
  export WINEPREFIX=$KELV_DIALOG_WINEPREFIX
  "${runner[@]}" wineboot -i >/dev/null 2>&1
fi

failures=0
wait_timeout=${KELV_DIALOG_WAIT:-90}

# Waits up to the time limit for a visible window named exactly $1 while the probe runs;
# prints its id (nothing when the probe ended or the time ran out).
find_window() {
  local id tries=$((wait_timeout * 5))
  while [ $tries -gt 0 ] && kill -0 "$probe_pid" 2>/dev/null; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    if [ -n "$id" ]; then
      echo "$id"
      return
    fi
    sleep 0.2
    tries=$((tries - 1))
  done
}

# Waits for the probe to end (killing it after the time limit); prints its output.
finish_probe() {
  local waited=0
  while kill -0 "$probe_pid" 2>/dev/null && [ $waited -lt $((wait_timeout * 10)) ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$probe_pid" 2>/dev/null; then
    kill "$probe_pid" 2>/dev/null
    echo "(probe did not end)"
  fi
  wait "$probe_pid" 2>/dev/null
  probe_pid=
  tr -d '\r' <"$work/out"
}

# Drags the dialog by its title strip 100 pixels right and 60 down; fails when it does not
# follow the mouse.
drag_title_strip() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local x0=$X y0=$Y
  xdotool mousemove $((x0 + 40)) $((y0 + 5)) mousedown 1
  sleep 0.3
  for step in 1 2 3 4 5; do
    xdotool mousemove $((x0 + 40 + step * 20)) $((y0 + 5 + step * 12))
    sleep 0.1
  done
  xdotool mouseup 1
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$1")"
  if [ $((X - x0)) -lt 90 ] || [ $((X - x0)) -gt 110 ] || [ $((Y - y0)) -lt 50 ] ||
     [ $((Y - y0)) -gt 70 ]; then
    echo "FAIL drag: the dialog moved from $x0,$y0 to $X,$Y instead of by 100,60"
    return 1
  fi
  echo "ok   drag: $x0,$y0 -> $X,$Y"
}

# The dialog is first shown centred on the 1024 x 768 screen.
check_centred() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local dx=$((X - (1024 - WIDTH) / 2)) dy=$((Y - (768 - HEIGHT) / 2))
  if [ ${dx#-} -gt 2 ] || [ ${dy#-} -gt 2 ]; then
    echo "FAIL centred: ${WIDTH}x${HEIGHT} at $X,$Y"
    return 1
  fi
  echo "ok   centred: ${WIDTH}x${HEIGHT} at $X,$Y"
}

# run_case NAME EXPECTED WINDOW_NAME "KEYS" PROBE-ARGS...
# KEYS are xdotool key names separated by blanks; SHOT=1 takes a screenshot first.
run_case() {
  local name=$1 expected=$2 window=$3 keys=$4
  shift 4
  "${runner[@]}" "$probe" "$@" >"$work/out" 2>"$work/err" </dev/null &
  probe_pid=$!
  local id
  id=$(find_window "$window")
  if [ -z "$id" ]; then
    echo "FAIL $name: no window \"$window\" appeared"
    cat "$work/err"
    failures=$((failures + 1))
    finish_probe >/dev/null
    return
  fi
  sleep 0.5
  if [ "${SHOT:-0}" = 1 ]; then
    import -window root "$shots/$name.png" 2>/dev/null || echo "(no screenshot for $name)"
  fi
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  sleep 0.2
  for key in $keys; do
    if [ "$key" = drag ]; then
      drag_title_strip "$id" || failures=$((failures + 1))
    elif [ "$key" = centred ]; then
      check_centred "$id" || failures=$((failures + 1))
    else
      xdotool key --clearmodifiers "$key"
    fi
    sleep 0.2
  done
  local got
  got=$(finish_probe)
  if [ "$got" = "$expected" ]; then
    echo "ok   $name -> $got"
  else
    echo "FAIL $name: expected \"$expected\", got \"$got\""
    cat "$work/err"
    failures=$((failures + 1))
  fi
}

text='¿Desea guardar los cambios antes de salir?\nLos cambios no guardados se pierden.'
long=$(printf 'Texto largo que no cabe en una sola línea del diálogo %.0s' 1 2 3 4 5 6)

# Yes / No / Cancel: letters, Enter on the first button, arrows.
SHOT=1 run_case tipo3_n 7 Mensaje "n" "$text" 3 1
run_case tipo3_c 2 Mensaje "c" "$text" 3 1
run_case tipo3_enter 6 Mensaje "Return" "$text" 3 1
run_case tipo3_arrows 2 Mensaje "Right Right Return" "$text" 3 1
run_case tipo3_wrap_left 2 Mensaje "Left Return" "$text" 3 1
run_case tipo3_escape_then_n 7 Mensaje "Escape n" "$text" 3 1
# Yes / No / Yes to all / No to all.
SHOT=1 run_case tipo4_i -6 Mensaje "i" "¿Reemplazar el archivo?" 4 2
run_case tipo4_o -7 Mensaje "o" "¿Reemplazar el archivo?" 4 2
run_case tipo4_s 6 Mensaje "s" "¿Reemplazar el archivo?" 4 2
run_case tipo3_dragged 7 Mensaje "centred drag n" "$text" 3 1
# Closed without a button: the last shown button's code (and Alt with a letter presses
# like the letter). Windows closes a window on
# Alt+F4 itself; on X without a window manager nothing offers to close it.
if [ ${#runner[@]} -gt 0 ]; then
  run_case tipo3_alt_f4 2 Mensaje "alt+F4" "$text" 3 1
  run_case tipo2_alt_f4 7 Mensaje "alt+F4" "$text" 2 1
  run_case tipo3_alt_letter 7 Mensaje "alt+n" "$text" 3 1
fi
# Caller-given captions.
SHOT=1 run_case tipo5_d 1 Mensaje "d" "Elija una opción" 5 0 "&Uno*&Dos" "Opciones"
run_case tipo5_u 0 Mensaje "u" "Elija una opción" 5 0 "&Uno*&Dos" "Opciones"
run_case tipo5_plain_arrows 1 Mensaje "Right Return" "Elija una opción" 5 0 "Uno*Dos"
SHOT=1 run_case tipo5_wide_caption 2 Mensaje "Right Right Return" "Botón ancho" 5 3 \
  "&Corto*Un texto de botón bastante más ancho*&Fin"
# The other sets, and a long message that wraps at 670 pixels.
SHOT=1 run_case tipo0 1 Mensaje "Return" "No se pudo conectar con la BD de usuarios" 0 0
SHOT=1 run_case tipo1_long 2 Mensaje "c" "$long" 1 3
SHOT=1 run_case tipo2 7 Mensaje "Right Return" "¿Continuar?" 2 1 "" "Pregunta"

# A second dialog of the same process reuses the instance and opens where the first one
# was dragged to.
reopen_where_left() {
  KELV_PROBE_REPEAT=2 "${runner[@]}" "$probe" "Dos veces" 3 1 >"$work/out" 2>"$work/err" </dev/null &
  probe_pid=$!
  local first second X Y WIDTH HEIGHT SCREEN WINDOW
  first=$(find_window Mensaje)
  if [ -z "$first" ]; then
    echo "FAIL reopen: no first window"
    failures=$((failures + 1))
    finish_probe >/dev/null
    return
  fi
  sleep 0.5
  xdotool windowfocus --sync "$first" 2>/dev/null
  drag_title_strip "$first" || failures=$((failures + 1))
  eval "$(xdotool getwindowgeometry --shell "$first")"
  local moved="$X,$Y"
  xdotool windowfocus --sync "$first" 2>/dev/null
  xdotool key n
  # Wait for the first window to go and the second to come.
  local tries=$((wait_timeout * 5))
  while [ $tries -gt 0 ]; do
    second=$(xdotool search --onlyvisible --name '^Mensaje$' 2>/dev/null | head -n1)
    [ -n "$second" ] && [ "$second" != "$first" ] && break
    sleep 0.2
    tries=$((tries - 1))
  done
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$second")"
  if [ "$X,$Y" != "$moved" ]; then
    echo "FAIL reopen: the second dialog is at $X,$Y, not at $moved"
    failures=$((failures + 1))
  fi
  xdotool windowfocus --sync "$second" 2>/dev/null
  xdotool key c
  local got
  got=$(finish_probe | tr '\n' ' ')
  if [ "$got" = "7 2 " ]; then
    echo "ok   reopen at $moved -> $got"
  else
    echo "FAIL reopen: expected \"7 2 \", got \"$got\""
    failures=$((failures + 1))
  fi
}
reopen_where_left

# The plain message box: named after its title, closed with Enter.
box_title='Aviso de prueba'
SHOT=1 run_case message_box cerrado "$box_title" "Return" --box "Mensaje simple\ncon dos líneas" "$box_title"

if [ $failures -ne 0 ]; then
  echo "$failures case(s) failed"
  exit 1
fi
echo "all cases passed; screenshots in $shots"
