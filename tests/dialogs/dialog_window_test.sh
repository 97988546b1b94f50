#!/bin/bash
# Drives the real dialog window, the plain message box and the main window on a private X
# server (Xvfb): starts dialog_probe, waits for its window, presses keys or clicks with
# xdotool and checks what it prints. Measures the windows too: their size and the buttons'
# places, found in a screenshot of the window, against the dialog's layout as the probe
# computes it (measure_window.py), and the program's icon on them. A screenshot of every
# button set and of the main window is written to SHOTS.
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

for tool in Xvfb xdotool import convert python3; do
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
measure="python3 $(dirname "$0")/measure_window.py"
# xprop reads the icon off the windows; without it that check is left out.
command -v xprop >/dev/null || echo "(xprop is not installed: the icon is not checked)"

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

# A screenshot of the window alone, in the work folder; prints its path.
window_shot() {
  import -window "$2" "$work/$1-window.png" 2>/dev/null
  echo "$work/$1-window.png"
}

# measure_dialog NAME ID PROBE-ARGS...: the dialog's size and buttons, as shown, against the
# layout the probe computes for the same arguments.
measure_dialog() {
  local name=$1 id=$2
  shift 2
  "${runner[@]}" "$probe" --layout "$1" "$2" "$3" "${4:-}" </dev/null 2>"$work/layout-err" |
    tr -d '\r' >"$work/$name-layout.txt"
  if ! grep -q '^ventana ' "$work/$name-layout.txt"; then
    echo "FAIL $name: the probe gave no layout"
    cat "$work/layout-err"
    return 1
  fi
  $measure layout "$(window_shot "$name" "$id")" "$work/$name-layout.txt"
}

# check_width ID WIDTH: the window is exactly WIDTH pixels wide (a width no font changes).
check_width() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  if [ "$WIDTH" != "$2" ]; then
    echo "FAIL width: $WIDTH instead of $2"
    return 1
  fi
  echo "ok   width: $WIDTH"
}

# measure_area NAME ID "W H R,G,B L,T,W,H": the window's size and where a colour lies in it.
measure_area() {
  # shellcheck disable=SC2086 # the design's numbers are separate words
  $measure area "$(window_shot "$1" "$2")" ${3//_/ }
}

# click_at ID X,Y: a left click at X,Y inside the window.
click_at() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + ${2%,*})) $((Y + ${2#*,})) click 1
}

# run_case NAME EXPECTED WINDOW_NAME "KEYS" PROBE-ARGS...
# KEYS are xdotool key names separated by blanks, or: drag (drag the title strip), centred
# (the window is centred), measure (size and buttons against the layout), width=N,
# area="W H R,G,B L,T,W,H" (written with '_' for the blanks), icon, click=X,Y. SHOT=1 takes a
# screenshot first.
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
    case $key in
      drag) drag_title_strip "$id" || failures=$((failures + 1)) ;;
      centred) check_centred "$id" || failures=$((failures + 1)) ;;
      measure) measure_dialog "$name" "$id" "$@" || failures=$((failures + 1)) ;;
      width=*) check_width "$id" "${key#width=}" || failures=$((failures + 1)) ;;
      area=*) measure_area "$name" "$id" "${key#area=}" || failures=$((failures + 1)) ;;
      icon)
        if command -v xprop >/dev/null; then
          $measure icon "$id" || failures=$((failures + 1))
        fi ;;
      click=*) click_at "$id" "${key#click=}" ;;
      *) xdotool key --clearmodifiers "$key" ;;
    esac
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

# Yes / No / Cancel: letters, Enter on the first button, arrows, Tab and Shift+Tab. The
# measured cases check the window's size and its buttons' places against the layout.
SHOT=1 run_case tipo3_n 7 Mensaje "measure icon n" "$text" 3 1
run_case tipo3_c 2 Mensaje "c" "$text" 3 1
run_case tipo3_enter 6 Mensaje "Return" "$text" 3 1
run_case tipo3_arrows 2 Mensaje "Right Right Return" "$text" 3 1
run_case tipo3_wrap_left 2 Mensaje "Left Return" "$text" 3 1
run_case tipo3_escape_then_n 7 Mensaje "Escape n" "$text" 3 1
run_case tipo3_tab 7 Mensaje "Tab Return" "$text" 3 1
run_case tipo3_tab_wraps 6 Mensaje "Tab Tab Tab Return" "$text" 3 1
run_case tipo3_shift_tab 2 Mensaje "shift+Tab Return" "$text" 3 1
run_case tipo3_tab_back 6 Mensaje "Tab shift+Tab Return" "$text" 3 1
# Yes / No / Yes to all / No to all.
SHOT=1 run_case tipo4_i -6 Mensaje "measure i" "¿Reemplazar el archivo?" 4 2
run_case tipo4_o -7 Mensaje "o" "¿Reemplazar el archivo?" 4 2
run_case tipo4_s 6 Mensaje "s" "¿Reemplazar el archivo?" 4 2
run_case tipo4_tab_and_arrow -6 Mensaje "Tab Tab Right Left Return" "¿Reemplazar el archivo?" 4 2
run_case tipo3_dragged 7 Mensaje "centred drag n" "$text" 3 1
# Closed without a button: the last shown button's code (and Alt with a letter presses
# like the letter). Windows closes a window on
# Alt+F4 itself; on X without a window manager nothing offers to close it.
if [ ${#runner[@]} -gt 0 ]; then
  run_case tipo3_alt_f4 2 Mensaje "alt+F4" "$text" 3 1
  run_case tipo2_alt_f4 7 Mensaje "alt+F4" "$text" 2 1
  run_case tipo3_alt_letter 7 Mensaje "alt+n" "$text" 3 1
fi
# Caller-given captions; a caption wider than the button widens it, and the buttons are
# still spaced by the width of the first, so the wide one lies under the next.
SHOT=1 run_case tipo5_d 1 Mensaje "measure d" "Elija una opción" 5 0 "&Uno*&Dos" "Opciones"
run_case tipo5_u 0 Mensaje "u" "Elija una opción" 5 0 "&Uno*&Dos" "Opciones"
run_case tipo5_plain_arrows 1 Mensaje "Right Return" "Elija una opción" 5 0 "Uno*Dos"
SHOT=1 run_case tipo5_wide_caption 2 Mensaje "measure Right Right Return" "Botón ancho" 5 3 \
  "&Corto*Un texto de botón bastante más ancho*&Fin"
# The other sets, and a long message that wraps at 670 pixels.
SHOT=1 run_case tipo0 1 Mensaje "measure Return" "No se pudo conectar con la BD de usuarios" 0 0
SHOT=1 run_case tipo1_long 2 Mensaje "measure width=670 c" "$long" 1 3
SHOT=1 run_case tipo2 7 Mensaje "measure Right Return" "¿Continuar?" 2 1 "" "Pregunta"

# The main window, shown: its design size, PicSalir's grey box at the top right corner, the
# icon, centred; a click on the "X" (lblCerrar) or on PicSalir beside it unloads it.
main_area=area=320_60_224,224,224_296,0,24,20
SHOT=1 run_case main_window_x descargado Actualizador "centred $main_area icon click=308,9" \
  --principal
run_case main_window_picsalir descargado Actualizador "click=317,18" --principal

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
