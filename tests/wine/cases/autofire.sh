# Auto-fire on button 7: nothing alone; held with button 1, left clicks at its period.
case_autofire() {
  local period_ms=50 hold_ms=1000
  setup_app OTGSpeed=$((period_ms / 10)) "ButtonInfo6=$(button_info 07 18 00 00)"
  start_recorder
  start_emulator
  start_host_with_device
  emu "press 7"
  emu "sleep 300"
  emu "release 7"
  emu "sync"
  check_lines "1: auto-fire held alone sends nothing" "" "$(rec_since)"
  rec_mark
  emu "press 1"
  emu "press 7"
  emu "sleep $hold_ms"
  emu "release 7"
  emu "release 1"
  emu "sync"
  local clicks downs ups
  clicks=$(rec_since)
  downs=$(grep -c '^mouse ldown' <<<"$clicks")
  ups=$(grep -c '^mouse lup' <<<"$clicks")
  [ "$(printf '%s\n' "$clicks" | grep -v '^$' | grep -vcE '^mouse l(down|up) data=0 flags=01 extra=0$')" -eq 0 ] ||
    fail "2: only left clicks expected, got:
$clicks"
  check "3: every press has its release" "$downs" "$ups"
  check_lines "4: clicks alternate down, up" "$(repeat_lines "$downs" "mouse ldown data=0 flags=01 extra=0" "mouse lup data=0 flags=01 extra=0")" "$clicks"
  # The host held the button from reading the press word (buttons 1 and 7) to
  # reading the release of 7. Its timer never fires early; under load it may
  # fire late, so fewer clicks are allowed than fit, never more.
  local pressed released held
  pressed=$(grep ' read 00000041$' "$LOGS/emu.log" | head -n 1 | cut -d' ' -f1)
  released=$(awk '/ read 00000041$/ { held = 1 } held && / read 00000001$/ { print $1; exit }' \
    "$LOGS/emu.log")
  held=$((released - pressed))
  local most=$((held / period_ms + 1)) least=$((held / period_ms / 2))
  [ "$downs" -ge "$least" ] && [ "$downs" -le "$most" ] ||
    fail "5: $downs clicks while held $held ms at one per $period_ms ms; expected $least..$most"
  note "5: $downs clicks while held $held ms at one per $period_ms ms"
  local first last
  first=$(tail -n +"$((REC_MARK + 1))" "$LOGS/input.log" | grep ' mouse ldown' | head -n 1 | cut -d' ' -f1)
  last=$(tail -n +"$((REC_MARK + 1))" "$LOGS/input.log" | grep ' mouse ldown' | tail -n 1 | cut -d' ' -f1)
  if [ "$downs" -gt 1 ]; then
    local mean=$(((last - first) / (downs - 1)))
    [ "$mean" -ge $((period_ms - 10)) ] || fail "6: clicks every $mean ms, faster than $period_ms ms"
    note "6: clicks every $mean ms on average"
  fi
  rec_mark
  emu "sleep 300"
  emu "sync"
  check_lines "7: nothing after the release" "" "$(rec_since)"
  stop_host
}
