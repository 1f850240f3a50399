# The tray icon: a double click and the menu restore Option.exe; the menu's last item exits.
# Not recorded: it minimises Option.exe from outside, which no recording holds
# (a window is described once); tray_exit covers the menu's exit recorded.
RECORDS_SESSION=""
case_tray_menu() {
  setup_app
  start_emulator
  start_host_with_device
  check "1: one tray icon" 1 "$(tray_icons)"
  agent "tray-click|0|ldbl" >/dev/null
  wait_for_lines "$APP/Option.log" ' started ' 20 || fail "2: a double click did not start Option.exe beside the host"
  agent "wait-window|$OPTION_TITLE|10000" >/dev/null
  note "2: a double click started Option.exe from the host's directory"
  agent "post|$OPTION_TITLE|0x112|0xF020" >/dev/null  # WM_SYSCOMMAND SC_MINIMIZE
  wait_iconic 1 "3: Option.exe's window minimised"
  agent "tray-click|0|ldbl" >/dev/null
  wait_iconic 0 "4: a double click restores the minimised Option.exe"
  check "4: and starts no second copy" "count \"$OPTION_TITLE\" 1" "$(agent "count|$OPTION_TITLE")"
  agent "tray-click|0|rdown" "menu-wait|10000" "menu-key|0x1B" "menu-gone|10000" >/dev/null
  kill -0 "${PIDS[host]}" 2>/dev/null || fail "5: dismissing the menu ended the host"
  note "5: the menu opens on a right click; Escape dismisses it"
  agent "post|$OPTION_TITLE|0x112|0xF020" >/dev/null
  wait_iconic 1 "6: Option.exe's window minimised again"
  # VK_HOME selects the first item, VK_RETURN chooses it.
  agent "tray-click|0|rdown" "menu-wait|10000" "menu-key|0x24|0x0D" "menu-gone|10000" >/dev/null
  wait_iconic 0 "6: the menu's first item restores Option.exe"
  check "6: and starts no second copy" "count \"$OPTION_TITLE\" 1" "$(agent "count|$OPTION_TITLE")"
  # VK_END selects the last item (exit), VK_RETURN chooses it.
  local out
  out=$(agent "watch|$HOST_TITLE" "tray-click|0|rdown" "menu-wait|10000" "menu-key|0x23|0x0D" "wait-exit|20000")
  check "7: exit from the menu: exit code" "exit code=0" "$(grep -o '^exit code=[0-9]*' <<<"$out")"
  wait_exit host 20
  check "7: host exit status" 0 $?
  wait_for_lines "$APP/Option.log" ' close ' 10 || fail "8: Option.exe got no WM_CLOSE at exit"
  note "8: Option.exe closed by the host's exit"
  check "9: no tray icon after exit" 0 "$(tray_icons)"
}

# wait_iconic 0|1 WHAT: until Option.exe's window is (not) minimised.
option_iconic() { WINDOW_INFO=$(agent "find|$OPTION_TITLE") && [[ "$WINDOW_INFO" == *" iconic=$1 "* ]]; }
wait_iconic() {
  poll_until 10 option_iconic "$1" || fail "$2: $WINDOW_INFO"
  note "$2"
}
