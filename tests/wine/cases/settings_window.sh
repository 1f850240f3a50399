# The settings window driven by its controls, as a user drives it, with the
# host and the emulated mouse running: each change is in force at once.
case_settings_window() {
  # Control ids (tools/win32/option/resource.h): button 4's row is row 3.
  local action=1123 modifier=1133 key=1143 set_key=1153 speed=1200 swap=1207 hscroll=1211
  setup_app
  start_targets
  start_recorder
  start_emulator
  start_host_with_device
  tr -d '\r' <"$APP/config.ini" | grep = | sort >"$LOGS/config.before"
  start_option_window
  ctl() { win "$BIN/wine-controls.exe" "$OPTION_TITLE" "$@" || fail "controls: $*"; }
  window_iconic() { [[ "$(agent "find|$OPTION_TITLE")" == *" iconic=$1 "* ]]; }
  keys_seen() { rec_since | grep '^key ' | sed 's/ scan=.*//'; }

  rec_mark
  ctl "select|$action|5" "click|$set_key" "key|$set_key|0x41|0x1E|0"
  check "1: the key field shows the captured key" "text $key=A" "$(ctl "text|$key")"
  emu "press 4"
  emu "release 4"
  emu "sync"
  check_lines "1: button 4 sends the key" "key 41 down flags=10
key 41 up flags=90" "$(keys_seen)"

  rec_mark
  ctl "pick|$modifier|1" "click|$set_key" "key|$set_key|0x43|0x2E|0"
  emu "press 4"
  emu "release 4"
  emu "sync"
  check_lines "2: button 4 sends Ctrl+C" "key 11 down flags=10
key 43 down flags=10
key 43 up flags=90
key 11 up flags=90" "$(keys_seen)"

  ctl "select|$action|24"
  # The clicks land where the cursor is: not on the settings window.
  agent "cursor-to|Target Plain|60|60" >/dev/null
  rec_mark
  emu "press 1"
  emu "press 4"
  emu "sleep 500"
  emu "release 4"
  emu "release 1"
  emu "sync"
  local clicks
  clicks=$(rec_since | grep -c '^mouse ldown data=0 flags=01')
  [ "$clicks" -ge 2 ] || fail "3: auto-fire on button 4 with button 1 held: $clicks left clicks in 500 ms"
  note "3: auto-fire on button 4 repeats the held left button ($clicks clicks)"

  ctl "slide|$speed|15" "click|$swap" "slide|$hscroll|6"
  check_lines "4: the block holds what the window shows" "MouseSensitivity=15
SwapMouseButtons=1
HScrollWheelSpeed=6
ButtonInfo3=04180106" \
    "$(option get MouseSensitivity SwapMouseButtons HScrollWheelSpeed ButtonInfo3)"
  check "4: the host swapped the buttons" "swap=1" "$(agent spi | grep -o 'swap=[0-9]*')"
  agent "cursor-to|Target WwG|60|60" >/dev/null
  emu "tilt left"
  emu "sync"
  check_lines "4: a tilt scrolls 6 steps" "$(repeat_lines 6 "wwg hscroll code=0 lparam=scrollbar")" \
    "$(target_lines "Target WwG" wwg)"

  tr -d '\r' <"$APP/config.ini" | grep = | sort >"$LOGS/config.after"
  check_lines "5: config.ini holds the changed keys and the rest as it was" \
    "$(sed -E 's/^(ButtonInfo3|HScrollWheelSpeed)=.*//' "$LOGS/config.before" | grep .)
ButtonInfo3=0418010623
HScrollWheelSpeed=6" \
    "$(sed -E 's/^(ButtonInfo3|HScrollWheelSpeed)=.*//' "$LOGS/config.after" | grep .)
$(grep -E '^(ButtonInfo3|HScrollWheelSpeed)=' "$LOGS/config.after")"

  agent "post|$OPTION_TITLE|0x112|0xF020" >/dev/null  # WM_SYSCOMMAND SC_MINIMIZE
  poll_until 10 window_iconic 1 || fail "6: the window did not minimise"
  win "$APP/Option.exe" >/dev/null
  check "6: a second Option.exe ends with 0" 0 $?
  poll_until 10 window_iconic 0 || fail "6: the second start left the window minimised"
  note "6: the second start restored the window"
  check "6: one window" "count \"$OPTION_TITLE\" 1" "$(agent "count|$OPTION_TITLE")"

  stop_host
  wait_exit option 10
  check "7: the host's exit closes the window (exit code)" 0 $?
  agent "wait-gone|$OPTION_TITLE|5000" >/dev/null
  note "7: no window left"
  # Wine reads the pointer speed back as 0 (it takes it from uiParam): the
  # host's own record of its call says what it set.
  grep -q 'SystemParametersInfoA action=113 .*pvParam=15 ' "$SESSION/session.trace" ||
    fail "4: the host never set the pointer speed 15"
  note "4: the host set the pointer speed 15"
}
