# A driver that refuses the registration: no icon; a later device change tries again.
case_refused_registration() {
  setup_app Device=1
  start_emulator --refuse
  start_host
  wait_host_window
  wait_device_flag 0
  check "1: no tray icon when registration fails" 0 "$(tray_icons)"
  wait_disconnects 1
  check_lines "2: the refused handle was closed" \
"connected
register refused
disconnected" "$(emu_requests)"
  emu "refuse off"
  check "3: WM_DEVICECHANGE answers TRUE" "result 1" \
    "$(agent "send|$HOST_TITLE|$WM_DEVICECHANGE|0x8000|0")"
  emu "wait-mask E0FF0000 5000"
  wait_device_flag 1
  check "4: tray icon once the device registered" 1 "$(tray_icons)"
  stop_host
}
