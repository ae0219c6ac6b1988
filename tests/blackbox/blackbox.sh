#!/bin/bash
# blackbox.sh SCENARIO tolvarinth.exe note_tool.exe
#
# Runs the built program under Wine and drives it with xdotool like a user:
#   ProtectedNoteEditedAndSaved  a protected note named on the command line: the password is
#                                typed, text is typed, Ctrl+S saves, the note on disk is checked.
#   CloseWithChangesAsks         closing with unsaved changes asks the question; Cancel keeps the
#                                window, No closes it and nothing is written.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ -z "${DISPLAY:-}" ]; then
  exec "$root/scripts/with-xvfb" "$0" "$@"
fi
[ $# -eq 3 ] || { echo "usage: blackbox.sh SCENARIO tolvarinth.exe note_tool.exe" >&2; exit 2; }
scenario=$1
exe=$2
tool=$3

work=$(mktemp -d)
editor_pid=""
cleanup() {
  if [ -n "$editor_pid" ] && kill -0 "$editor_pid" 2>/dev/null; then kill "$editor_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT

winpath() { local p=${1//\//\\}; echo "Z:$p"; }
fail() {
  echo "FAIL: $*"
  import -window root "$work/failure.png" 2>/dev/null && cp "$work/failure.png" "$PWD/blackbox-$scenario-failure.png" &&
    echo "screen saved to $PWD/blackbox-$scenario-failure.png"
  exit 1
}
# The id of the first visible window whose name matches, waiting up to 60 s.
wait_window() { timeout 60 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n1; }
# True once no visible window matches.
window_gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
wait_gone() {
  for _ in $(seq 1 100); do window_gone "$1" && return 0; sleep 0.1; done
  return 1
}
focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; sleep 0.3; }
start_editor() {
  "$root/scripts/wine-run" "$exe" "$@" >"$work/editor.log" 2>&1 &
  editor_pid=$!
}
wait_editor_end() {
  for _ in $(seq 1 100); do kill -0 "$editor_pid" 2>/dev/null || { wait "$editor_pid"; return 0; }; sleep 0.1; done
  return 1
}

case "$scenario" in
ProtectedNoteEditedAndSaved)
  note="$work/diary.etxt"
  "$root/scripts/wine-run" "$tool" write "$(winpath "$note")" "s3cret" "hello" || fail "could not write the note"
  start_editor "$(winpath "$note")"
  prompt=$(wait_window '^请输入打开密码')
  [ -n "$prompt" ] || fail "no password prompt"
  window_gone '^Tolvarinth' || fail "the main window showed before the password prompt was answered"
  focus "$prompt"
  xdotool type --delay 60 "s3cret"
  xdotool key Return
  main=$(wait_window '^Tolvarinth - Z:')
  [ -n "$main" ] || fail "the note did not open"
  focus "$main"
  xdotool key ctrl+End
  xdotool type --delay 60 " world"
  xdotool key ctrl+s
  body=""
  for _ in $(seq 1 50); do
    body=$("$root/scripts/wine-run" "$tool" read "$(winpath "$note")" "s3cret" 2>/dev/null)
    [ "$body" = "hello world" ] && break
    sleep 0.2
  done
  [ "$body" = "hello world" ] || fail "the note holds '$body', expected 'hello world'"
  # Saved: closing asks nothing.
  focus "$main"
  xdotool key alt+F4
  wait_editor_end || fail "the editor did not end after Alt+F4 with everything saved"
  ;;
CloseWithChangesAsks)
  start_editor
  main=$(wait_window '^Tolvarinth$')
  [ -n "$main" ] || fail "the main window did not appear"
  focus "$main"
  xdotool type --delay 60 "unsaved"
  xdotool key alt+F4
  question=$(wait_window '^询问$')
  [ -n "$question" ] || fail "closing with unsaved changes did not ask"
  focus "$question"
  xdotool key Escape
  wait_gone '^询问$' || fail "the question did not go on Cancel"
  kill -0 "$editor_pid" 2>/dev/null || fail "the editor ended although the question was cancelled"
  xdotool search --onlyvisible --name '^Tolvarinth$' >/dev/null || fail "the main window went on Cancel"
  focus "$main"
  xdotool key alt+F4
  question=$(wait_window '^询问$')
  [ -n "$question" ] || fail "the second close did not ask"
  focus "$question"
  xdotool key n
  wait_editor_end || fail "the editor did not end after No"
  ;;
*)
  echo "blackbox.sh: unknown scenario $scenario" >&2
  exit 2
  ;;
esac
echo "PASS: $scenario"
