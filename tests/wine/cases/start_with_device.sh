# Start-up with the device there: channel, icon, config.ini and the ready notice.
case_start_with_device() {
  setup_app Device=0
  start_emulator
  start_option_window
  start_host_with_device
  wait_device_flag 1
  wait_for_lines "$LOGS/option.log" " notice $DEVICE_READY_NOTICE wParam=0 lParam=0\$" 10 ||
    fail "no device-ready notice (0x4E6, 0, 0) at Option.exe"
  note "device-ready notice 0x4E6 with wParam 0, lParam 0"
  check "tray icons" 1 "$(tray_icons)"
  check_lines "requests at start-up" \
"connected
registered #1
mask E0FF0000" "$(emu_requests)"
  check "notices received" 1 "$(grep -c " notice $DEVICE_READY_NOTICE " "$LOGS/option.log")"
  stop_host
}
