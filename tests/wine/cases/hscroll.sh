# Tilting the wheel scrolls sideways, the way each kind of window under the cursor needs.
case_hscroll() {
  setup_app HScrollWheelSpeed=3
  start_targets
  start_recorder
  start_emulator
  start_host_with_device
  local left right
  left=$(repeat_lines 3 "wwg hscroll code=0 lparam=scrollbar")
  right=$(repeat_lines 3 "wwg hscroll code=1 lparam=scrollbar")
  agent "cursor-to|Target WwG|60|60" >/dev/null
  emu "tilt left"
  emu "sync"
  check_lines "1: tilt left over _WwG: SB_LINELEFT x3 to the scroll bar's parent" "$left" \
    "$(target_lines "Target WwG" wwg)"
  emu "tilt right"
  emu "sync"
  check_lines "2: tilt right over _WwG: SB_LINERIGHT x3" "$right" "$(target_lines "Target WwG" wwg)"
  agent "cursor-to|Target Plain|60|60" >/dev/null
  emu "tilt left"
  emu "sync"
  check_lines "3: tilt left over another class with WS_HSCROLL: plain WM_HSCROLL x3" \
    "$(repeat_lines 3 "plain hscroll code=0 lparam=0")" "$(target_lines "Target Plain" plain)"
  agent "cursor-to|Target Mozilla|60|60" >/dev/null
  emu "tilt left"
  emu "sync"
  check_lines "4: tilt left over MozillaWindowClass: left arrow x3 to the parent" \
    "$(repeat_lines 3 "mozilla keydown vk=25 lparam=014B0001" "mozilla keyup vk=25 lparam=C14B0001")" \
    "$(target_lines "Target Mozilla" mozilla)"
  emu "tilt right"
  emu "sync"
  check_lines "5: tilt right over MozillaWindowClass: right arrow x3" \
    "$(repeat_lines 3 "mozilla keydown vk=27 lparam=014D0001" "mozilla keyup vk=27 lparam=C14D0001")" \
    "$(target_lines "Target Mozilla" mozilla)"
  check_lines "6: no input injected while scrolling by messages" "" "$(rec_since)"
  agent "cursor-to|Target Still|60|60" >/dev/null
  rec_mark
  emu "tilt left"
  emu "sync"
  check_lines "7: tilt left over nothing scrollable: one wheel notch" \
    "mouse wheel data=120 flags=01 extra=0" "$(rec_since)"
  rec_mark
  emu "tilt right"
  emu "sync"
  check_lines "8: tilt right over nothing scrollable: one notch down" \
    "mouse wheel data=-120 flags=01 extra=0" "$(rec_since)"
  check_lines "9: nothing posted to the still window" "" "$(target_lines "Target Still" still)"
  # Target Excel's scroll bar lies at (40,670)-(340,700) on the screen.
  check "10: cursor over EXCEL7" "cursor 100,580 over class=EXCEL7 root=\"Target Excel\"" \
    "$(agent "cursor-to|Target Excel|60|40")"
  rec_mark
  emu "tilt left"
  emu "sync"
  check_lines "10: tilt left over EXCEL7: three clicks 5 px inside the scroll bar's left end" \
    "$(repeat_lines 3 "mouse ldown data=0 flags=01 extra=0 at=45,675" "mouse lup data=0 flags=01 extra=0 at=45,675")" \
    "$(rec_since_at)"
  check "10: the cursor is back" "cursor 100,580" "$(agent cursor)"
  rec_mark
  emu "tilt right"
  emu "sync"
  check_lines "11: tilt right over EXCEL7: three clicks 5 px inside its right end" \
    "$(repeat_lines 3 "mouse ldown data=0 flags=01 extra=0 at=335,675" "mouse lup data=0 flags=01 extra=0 at=335,675")" \
    "$(rec_since_at)"
  check "11: the cursor is back" "cursor 100,580" "$(agent cursor)"
  check_lines "10, 11: the clicks reached the scroll bar's arrows" \
    "$(repeat_lines 3 "excel hscroll code=0 lparam=scrollbar" "excel hscroll code=8 lparam=scrollbar")
$(repeat_lines 3 "excel hscroll code=1 lparam=scrollbar" "excel hscroll code=8 lparam=scrollbar")" \
    "$(target_lines "Target Excel" excel)"
  agent "cursor-to|Target Vertical|60|60" >/dev/null
  rec_mark
  emu "tilt left"
  emu "sync"
  check_lines "12: only vertically scrollable: no input" "" "$(rec_since)"
  check_lines "12: only vertically scrollable: no message" "" "$(target_lines "Target Vertical" vertical)"
  stop_host
}
