# One button press from the driver's word to the keys it sends.
case_road_of_one_event() {
  setup_app "ButtonInfo3=$(button_info 04 41 00 00)"
  start_recorder
  start_emulator
  start_host_with_device E8FF0000
  emu "press 4"
  emu "sync"
  check_lines "press of button 4 (copy): Ctrl down, C down, Ctrl up, C up" "$COPY_KEYS" "$(rec_since)"
  rec_mark
  emu "release 4"
  emu "sync"
  check_lines "release of button 4: nothing" "" "$(rec_since)"
  check_lines "words read" \
"read 00000008
read 00000008
read 00000000
read 00000000" "$(emu_requests | grep '^read')"
  stop_host
}
