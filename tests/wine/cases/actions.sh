# One row per button: what its press and its release send.
case_actions() {
  setup_app \
    "ButtonInfo1=$(button_info 02 01 00 00)" \
    "ButtonInfo2=$(button_info 03 05 02 04)" \
    "ButtonInfo3=$(button_info 04 20 00 00)" \
    "ButtonInfo4=$(button_info 05 30 00 00)" \
    "ButtonInfo5=$(button_info 06 0C 00 00)" \
    "ButtonInfo6=$(button_info 07 05 01 06)"
  start_recorder
  start_emulator
  start_host_with_device FEFF0000
  local -a rows=(
    "1|left button on button 2 (not native)|2|mouse ldown data=0 flags=01 extra=0|mouse lup data=0 flags=01 extra=0"
    "2|key combination Shift+A on button 3|3||key 10 down flags=10 scan=2A extra=0;key 41 down flags=10 scan=1E extra=0;key 41 up flags=90 scan=1E extra=0;key 10 up flags=90 scan=2A extra=0"
    "3|media key play/pause on button 4|4||key B3 down flags=11 scan=00 extra=0;key B3 up flags=91 scan=00 extra=0"
    "4|wheel up on button 5|5||mouse wheel data=120 flags=01 extra=0"
    "5|X button 1 on button 6 (not native)|6|mouse xdown data=1 flags=01 extra=0|mouse xup data=1 flags=01 extra=0"
    "6|key combination Ctrl+C on button 7|7||key 11 down flags=10 scan=1D extra=0;key 43 down flags=10 scan=2E extra=0;key 43 up flags=90 scan=2E extra=0;key 11 up flags=90 scan=1D extra=0"
    "7|native left button on button 1|1||"
  )
  local row number what button on_press on_release
  for row in "${rows[@]}"; do
    IFS='|' read -r number what button on_press on_release <<<"$row"
    rec_mark
    emu "press $button"
    emu "sync"
    check_lines "row $number, $what: press" "${on_press//;/$'\n'}" "$(rec_since)"
    rec_mark
    emu "release $button"
    emu "sync"
    check_lines "row $number, $what: release" "${on_release//;/$'\n'}" "$(rec_since)"
  done
  stop_host
}
