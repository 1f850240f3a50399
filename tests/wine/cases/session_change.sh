# Disconnecting the console closes the channel; connecting again reopens it.
case_session_change() {
  setup_app "ButtonInfo3=$(button_info 04 41 00 00)"
  start_recorder
  start_emulator
  start_host_with_device E8FF0000
  check "1: console disconnect answers 0" "result 0" \
    "$(agent "send|$HOST_TITLE|$WM_WTSSESSION_CHANGE|2|1")"
  wait_device_flag 0
  check "2: the tray icon stays on disconnect" 1 "$(tray_icons)"
  agent "send|$HOST_TITLE|$WM_WTSSESSION_CHANGE|7|1" "send|$HOST_TITLE|$WM_WTSSESSION_CHANGE|5|1" >/dev/null
  wait_disconnects 1
  check_lines "3: disconnect closes the channel; lock and logon change nothing" \
"connected
registered #1
mask E8FF0000
mask 00000000
close
unregistered
disconnected" "$(emu_requests)"
  agent "send|$HOST_TITLE|$WM_WTSSESSION_CHANGE|1|1" >/dev/null
  emu "wait-registered 2 5000"
  emu "wait-mask E8FF0000 5000"
  wait_device_flag 1
  rec_mark
  emu "press 4"
  emu "sync"
  check_lines "4: a button works on the reopened channel" "$COPY_KEYS" "$(rec_since)"
  stop_host
}
