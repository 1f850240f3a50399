# Start-up without device or config.ini, then the device arrives.
case_start_without_device() {
  setup_app noconfig
  start_option_window
  start_host
  wait_host_window
  wait_device_flag 0
  check "1: no tray icon without the device" 0 "$(tray_icons)"
  check "2: defaults applied to the system (config.ini missing)" \
    "double-click=500 swap=0 mouse=0,0,0 wheel=3" \
    "$(agent spi | sed 's/ speed=.*//')"
  check_lines "3: defaults in the shared block" \
"HScrollWheelSpeed=3
OTGSpeed=10
Acceleration=0
ButtonInfo0=01010000
ButtonInfo3=040C0000
ButtonInfo6=07100000" "$(option get HScrollWheelSpeed OTGSpeed Acceleration ButtonInfo0 ButtonInfo3 ButtonInfo6)"
  start_emulator
  check "4: WM_DEVICECHANGE answers TRUE" "result 1" \
    "$(agent "send|$HOST_TITLE|$WM_DEVICECHANGE|0x8000|0")"
  emu "wait-mask E0FF0000 5000"
  wait_device_flag 1
  wait_for_lines "$LOGS/option.log" " notice $DEVICE_READY_NOTICE " 10 || fail "5: no device-ready notice after the device change"
  note "5: device-ready notice"
  check "6: tray icon after the device change" 1 "$(tray_icons)"
  check "7: WM_DEVICECHANGE with the channel open answers TRUE" "result 1" \
    "$(agent "send|$HOST_TITLE|$WM_DEVICECHANGE|0x7|0")"
  check_lines "8: the second device change opened nothing" \
"connected
registered #1
mask E0FF0000" "$(emu_requests)"
  stop_host
}
