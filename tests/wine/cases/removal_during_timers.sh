# The mouse goes away while auto-fire and the repeated click run. The event
# thread takes the tray icon away (which can take the shell a while) while
# the window thread's timers keep clicking until the removal stops them; the
# recorded session holds those ticks where they ran, and replays to the same trace.
case_removal_during_timers() {
  local period_ms=20
  setup_app OTGSpeed=$((period_ms / 10)) "ButtonInfo4=$(button_info 05 17 00 00)" \
    "ButtonInfo6=$(button_info 07 18 00 00)"
  start_recorder
  start_emulator
  start_host_with_device F0FF0000  # button 5 no longer passes its own input
  wait_device_flag 1
  emu "press 1"
  emu "press 7"
  emu "press 5"
  emu "sleep 300"
  emu "remove"
  emu "sync"
  wait_device_flag 0
  check "1: the removal takes the tray icon away" 0 "$(tray_icons)"
  emu "sleep 300"
  emu "sync"
  rec_mark
  emu "sleep 300"
  emu "sync"
  check_lines "2: the removal stopped both timers and let go of the button" "" "$(rec_since)"
  check "3: the left button is up" "mouse lup" \
    "$(cut -d' ' -f2- "$LOGS/input.log" | grep '^mouse l' | tail -n 1 | cut -d' ' -f1-2)"
  local inside
  inside=$(grep -c '^timer ' <(sed -n '/ pause=/,/^resume/p' "$SESSION/session.scn"))
  note "4: $inside timer ticks ran while the removal was being handled"
  stop_host
}
