# The device removed and back: the icon and config.ini follow, the ready steps 8 s later.
case_removal_arrival() {
  setup_app
  start_emulator
  start_option_window
  start_host_with_device
  wait_device_flag 1
  check "1: tray icon at start" 1 "$(tray_icons)"
  emu "remove"
  emu "sync"
  wait_device_flag 0
  check "2: removal takes the tray icon away" 0 "$(tray_icons)"
  emu "arrive"
  emu "sync 20000"
  wait_device_flag 1
  check "3: arrival brings the tray icon back" 1 "$(tray_icons)"
  check "4: device-ready notices (start, arrival)" 2 "$(grep -c " notice $DEVICE_READY_NOTICE " "$LOGS/option.log")"
  local arrived ready
  arrived=$(grep ' read 00000400$' "$LOGS/emu.log" | head -n 1 | cut -d' ' -f1)
  ready=$(grep ' mask E0FF0000$' "$LOGS/emu.log" | sed -n 2p | cut -d' ' -f1)
  [ -n "$ready" ] || fail "5: no mask after the arrival"
  [ $((ready - arrived)) -ge 7980 ] || fail "5: the ready steps came $((ready - arrived)) ms after the arrival, not 8 s"
  note "5: the ready steps came $((ready - arrived)) ms after the arrival"
  check_lines "6: requests" \
"connected
registered #1
mask E0FF0000
read 00000800
read 00000000
read 00000400
mask E0FF0000
read 00000000" "$(emu_requests)"
  stop_host
}
