# The tray menu's exit item alone, recorded.
case_tray_exit() {
  setup_app
  start_emulator
  start_host_with_device
  local out
  out=$(agent "watch|$HOST_TITLE" "tray-click|0|rdown" "menu-wait|10000" "menu-key|0x23|0x0D" "wait-exit|20000")
  check "1: exit from the menu: exit code" "exit code=0" "$(grep -o '^exit code=[0-9]*' <<<"$out")"
  wait_exit host 20
  check "1: host exit status" 0 $?
}
