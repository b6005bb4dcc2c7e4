#!/usr/bin/env bash
# End-to-end tests of the Windows program: the real vellumet.exe under Wine,
# driven through the keyboard and mouse with xdotool and watched through
# screenshots and its debugger output. Run by scripts/test-wine, which
# provides the Wine prefix, the display and Wine's virtual desktop.
#
# Usage: end_to_end.sh PROGRAM.exe DUMP.exe WORKDIR
set -uo pipefail

program=$1
dump=$2
work=$3
shots=$work/shots
mkdir -p "$shots"

# Where the pointer stands when the program starts; the dialog centres on it.
POINTER_X=301
POINTER_Y=201
# The dialog template's size in dialog units, and Wine's frame and caption
# in pixels, to turn a control's place in the template into a click.
DIALOG_UNITS_WIDE=215
DIALOG_UNITS_HIGH=84
FRAME=3
CAPTION=18
DEADLINE=60

passed=0
failed=0
test_name=""
test_ok=1

fail() {
  echo "  FAIL: $*"
  test_ok=0
}

begin() {
  test_name=$1
  test_ok=1
  files=$work/$test_name
  rm -rf "$files"
  mkdir -p "$files"
  trace=$files/trace.log
  echo "--- $test_name"
}

finish() {
  if ((test_ok)); then
    passed=$((passed + 1))
    echo "  ok"
  else
    failed=$((failed + 1))
    if [[ -n ${program_pid:-} ]] && kill -0 "$program_pid" 2>/dev/null; then
      xdotool key Escape
      wait_for_exit >/dev/null
    fi
  fi
  program_pid=""
}

# The Windows spelling of a path on this machine (drive Z: is the root).
winpath() {
  local p=$1
  echo "Z:${p//\//\\}"
}

# The bounding box "W H X Y" of what stands on the desktop, from a screenshot.
desktop_contents() {
  local shot=$1
  import -window root "$shot" 2>/dev/null || return 1
  convert "$shot" -trim -format '%w %h %X %Y' info: 2>/dev/null | tr -d '+'
}

# Waits until the dialog is on the desktop and drawn the same in two shots;
# sets DX DY DW DH to its window rectangle.
wait_for_dialog() {
  local shot=$files/waiting.png previous="" box
  local end=$((SECONDS + DEADLINE))
  while ((SECONDS < end)); do
    box=$(desktop_contents "$shot") || box=""
    read -r DW DH DX DY <<<"${box:-0 0 0 0}"
    if ((DW > 200 && DH > 100)) && [[ $box == "$previous" ]]; then
      return 0
    fi
    previous=$box
    sleep 0.3
  done
  fail "the dialog did not appear"
  return 1
}

# Waits until nothing stands on the desktop any more.
wait_for_empty_desktop() {
  local box end=$((SECONDS + DEADLINE))
  while ((SECONDS < end)); do
    box=$(desktop_contents "$work/empty.png") || box=""
    read -r w h _ _ <<<"${box:-0 0 0 0}"
    ((w < 100)) && return 0
    sleep 0.3
  done
  return 1
}

# Starts the program with the given arguments, the pointer placed first, and
# waits for its dialog. The debugger output goes to $trace.
start_program() {
  wait_for_empty_desktop || { fail "the desktop is not empty"; return 1; }
  xdotool mousemove "$POINTER_X" "$POINTER_Y"
  xdotool mousemove_relative 1 1
  xdotool mousemove_relative -- -1 -1
  WINEDEBUG=-all,+debugstr wine "$program" "$@" >/dev/null 2>"$trace" &
  program_pid=$!
  wait_for_dialog
}

# Waits for the program to end and prints its exit code ("timeout" if not).
wait_for_exit() {
  local end=$((SECONDS + DEADLINE))
  while kill -0 "$program_pid" 2>/dev/null; do
    if ((SECONDS >= end)); then
      kill "$program_pid" 2>/dev/null
      echo timeout
      return
    fi
    sleep 0.2
  done
  wait "$program_pid"
  echo $?
}

expect_exit_code() {
  local code
  code=$(wait_for_exit)
  [[ $code == "$1" ]] || fail "exit code $code, expected $1"
}

# Clicks the point (x, y) of the template, in dialog units.
click_dialog_units() {
  local client_w=$((DW - 2 * FRAME)) client_h=$((DH - 2 * FRAME - CAPTION))
  local px=$((DX + FRAME + $1 * client_w / DIALOG_UNITS_WIDE))
  local py=$((DY + FRAME + CAPTION + $2 * client_h / DIALOG_UNITS_HIGH))
  xdotool mousemove "$px" "$py" click 1
}

# Types the two paths and the two addresses, moving on with Tab in the
# dialog's tab order: input, browse, output, browse, start, OK, Cancel, end.
fill_dialog() {
  xdotool type -- "$1"
  xdotool key Tab Tab
  xdotool type -- "$2"
  if (($# > 2)); then
    xdotool key Tab Tab
    xdotool type -- "$3"
    xdotool key Tab Tab Tab
    xdotool type -- "$4"
  fi
}

# Trace lines of the program other than the argument list, as Wine shows them.
non_argv_trace() {
  grep -F 'OutputDebugStringA' "$trace" | grep -vF 'OutputDebugStringA "argv['
}

# Every byte value four times over, with Shift_JIS pairs among them.
make_input() {
  local i
  for _ in 1 2 3 4; do
    for i in {0..255}; do
      printf "\\x$(printf %02x "$i")"
    done
  done >"$1"
}

# ---- The tests ------------------------------------------------------------

# The dialog opens centred on the pointer; typed paths and addresses and a
# click on OK write the same dump as the command-line front end.
begin ok_writes_the_dump
make_input "$files/in.bin"
if start_program; then
  fill_dialog "$(winpath "$files/in.bin")" "$(winpath "$files/out.txt")" 37 300
  import -window root "$shots/dialog.png"
  ((DX + DW / 2 - POINTER_X <= 2 && POINTER_X - DX - DW / 2 <= 2)) ||
    fail "dialog centre x $((DX + DW / 2)), pointer $POINTER_X"
  ((DY + DH / 2 - POINTER_Y <= 2 && POINTER_Y - DY - DH / 2 <= 2)) ||
    fail "dialog centre y $((DY + DH / 2)), pointer $POINTER_Y"
  click_dialog_units 133 70
  expect_exit_code 0
  WINEDEBUG=-all wine "$dump" --start 37 --end 300 "$(winpath "$files/in.bin")" \
    "$(winpath "$files/expected.txt")" >/dev/null 2>&1 || fail "vellumet-dump failed"
  [[ -s $files/out.txt ]] || fail "no dump written"
  cmp -s "$files/expected.txt" "$files/out.txt" || fail "the dump differs from vellumet-dump's"
  [[ -z $(non_argv_trace) ]] || fail "unexpected trace: $(non_argv_trace)"
fi
finish

# Dragging the background moves the dialog; Cancel then ends the run with
# exit code 0 and no file touched.
begin cancel_touches_nothing
make_input "$files/in.bin"
printf 'keep\r\n' >"$files/out.txt"
if start_program; then
  fill_dialog "$(winpath "$files/in.bin")" "$(winpath "$files/out.txt")" 0 100
  start_x=$DX start_y=$DY
  click_x=$((DX + FRAME + 20)) click_y=$((DY + DH - FRAME - 8))
  xdotool mousemove "$click_x" "$click_y" mousedown 1
  xdotool mousemove "$((click_x + 120))" "$((click_y + 80))"
  xdotool mousemove "$((click_x + 121))" "$((click_y + 81))" mouseup 1
  wait_for_dialog
  # How far Wine's move loop follows depends on when it sees the motion;
  # without the caption answer the dialog would not move at all.
  ((DX >= start_x + 60 && DY >= start_y + 40)) ||
    fail "dragged 120,80 from $start_x,$start_y: now at $DX,$DY"
  click_dialog_units 183 70
  expect_exit_code 0
  [[ $(cat "$files/out.txt") == $'keep\r' ]] || fail "the output file changed"
  [[ $(ls "$files" | sort | tr '\n' ' ') == "in.bin out.txt trace.log waiting.png " ]] ||
    fail "files appeared: $(ls "$files")"
fi
finish

# Escape ends the run like Cancel.
begin escape_touches_nothing
make_input "$files/in.bin"
if start_program; then
  fill_dialog "$(winpath "$files/in.bin")" "$(winpath "$files/out.txt")"
  xdotool key Escape
  expect_exit_code 0
  [[ ! -e $files/out.txt ]] || fail "an output file was written"
fi
finish

# A '*' in the output path keeps the dialog open and leaves line 1080 on the
# trace; nothing is written.
begin star_in_path_keeps_the_dialog
make_input "$files/in.bin"
if start_program; then
  fill_dialog "$(winpath "$files/in.bin")" "$(winpath "$files")\\*.txt"
  xdotool key Return
  end=$((SECONDS + DEADLINE))
  until [[ -n $(non_argv_trace) ]] || ((SECONDS >= end)); do sleep 0.2; done
  expected='OutputDebugStringA "..\\..\\TOOLS\\toolbase(1080) : ! jmspbrk( path, INVALID_PATHCHARS ) \r\n"'
  [[ $(non_argv_trace | sed 's/^[0-9a-f]*:warn:debugstr://') == "$expected" ]] ||
    fail "trace: $(non_argv_trace)"
  wait_for_dialog
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended"
  xdotool key Escape
  expect_exit_code 0
  [[ $(ls "$files" | sort | tr '\n' ' ') == "in.bin trace.log waiting.png " ]] ||
    fail "files appeared: $(ls "$files")"
fi
finish

# The command line is listed on the trace, one line per argument.
begin arguments_on_the_trace
if start_program "a b" c; then
  xdotool key Escape
  expect_exit_code 0
  mapfile -t lines < <(grep -F 'OutputDebugStringA "argv[' "$trace" | sed 's/^[0-9a-f]*:warn:debugstr://')
  ((${#lines[@]} == 3)) || fail "${#lines[@]} argument lines"
  [[ ${lines[0]:-} == 'OutputDebugStringA "argv[ 0]='*'vellumet.exe\r\n"' ]] || fail "line 0: ${lines[0]:-}"
  [[ ${lines[1]:-} == 'OutputDebugStringA "argv[ 1]=a b\r\n"' ]] || fail "line 1: ${lines[1]:-}"
  [[ ${lines[2]:-} == 'OutputDebugStringA "argv[ 2]=c\r\n"' ]] || fail "line 2: ${lines[2]:-}"
fi
finish

# A dump that cannot be made shows nothing, exits with 0 and says why on the
# trace in one line.
begin failed_dump_is_traced
if start_program; then
  fill_dialog "$(winpath "$files/missing.bin")" "$(winpath "$files/out.txt")"
  xdotool key Return
  expect_exit_code 0
  [[ ! -e $files/out.txt ]] || fail "an output file was written"
  mapfile -t lines < <(non_argv_trace)
  ((${#lines[@]} == 1)) && [[ ${lines[0]} == *'OutputDebugStringA "RunDumpJob: '* ]] ||
    fail "trace: ${lines[*]:-nothing}"
fi
finish

echo "end-to-end: $passed passed, $failed failed"
((failed == 0))
