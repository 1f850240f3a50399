# The host crashes (a thread of it jumps to address 0) while it holds the
# left button down: the button comes up, the driver gets the mask 0, the tray
# icon goes, one minidump is written and the process ends with the fault's code.
# A crashed host never finishes its recording, so there is no session to replay.
RECORDS_SESSION=""
case_crash() {
  setup_app "ButtonInfo1=$(button_info 02 01 00 00)"
  find "$WINEPREFIX/drive_c/users" -path '*/HidHost/crashes' -type d -exec rm -rf {} + 2>/dev/null
  start_recorder
  start_emulator
  start_host_with_device E2FF0000
  check "tray icon before the crash" 1 "$(tray_icons)"
  emu "press 2"
  emu "sync"
  check_lines "button 2 holds the left button down" "mouse ldown data=0 flags=01 extra=0" "$(rec_since)"
  rec_mark
  local out code rc dumps
  out=$(agent "watch|$HOST_TITLE" "crash|$HOST_TITLE" "wait-exit|90000")
  code=$(sed -nE 's/^exit code=([0-9]+).*/\1/p' <<<"$out")
  [ -n "$code" ] && [ "$code" != 0 ] || fail "the crashed host's exit code is [$code], not a fault's"
  note "the crashed host's exit code is $code"
  wait_exit host 20
  rc=$?
  [ "$rc" -ne 0 ] || fail "wine64 saw exit status 0 after the crash"
  poll_until 5 lines_match "$LOGS/input.log" ' mouse lup ' 1 || true
  check_lines "the left button comes up" "mouse lup data=0 flags=01 extra=0" "$(rec_since)"
  grep -q ' mask 00000000$' "$LOGS/emu.log" || fail "the driver got no mask 0"
  note "the driver got the mask 0"
  check "tray icons after the crash" 0 "$(tray_icons)"
  dumps=$(find "$WINEPREFIX/drive_c/users" -path '*/HidHost/crashes/HidHost-*.dmp' -size +0 | wc -l)
  check "minidumps written" 1 "$dumps"
}
