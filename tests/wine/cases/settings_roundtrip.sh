# What Option.exe writes to the shared block and each notice makes the host do.
case_settings_roundtrip() {
  setup_app HScrollWheelSpeed=4 OTGSpeed=7 MouseColor=5
  start_recorder
  start_emulator
  start_host_with_device
  check_lines "1: the block holds what the host loaded" \
"SwapMouseButtons=0
DoubleClickSpeed=500
WheelScrollLines=3
WheelPageScroll=0
MouseSensitivity=10
SpeedPreset=-1
Acceleration=1
Reserved=-1
HScrollWheelSpeed=4
OTGSpeed=7
MouseColor=5
ButtonInfo0=01010000
ButtonInfo3=040C0000" \
    "$(option get SwapMouseButtons DoubleClickSpeed WheelScrollLines WheelPageScroll MouseSensitivity SpeedPreset Acceleration Reserved HScrollWheelSpeed OTGSpeed MouseColor ButtonInfo0 ButtonInfo3)"
  check "2: system settings applied at start" "double-click=500 swap=0 mouse=6,10,1 wheel=3" \
    "$(agent spi | sed 's/ speed=.*//')"
  local masks
  masks=$(emu_requests | grep -c '^mask')
  option set DoubleClickSpeed=700 SwapMouseButtons=1 WheelScrollLines=7 --notify "$SETTINGS_APPLY_ALL" >/dev/null ||
    fail "3: Option.exe set failed"
  check "3: 0x4C8 applies the system settings" "double-click=700 swap=1 mouse=6,10,1 wheel=7" \
    "$(agent spi | sed 's/ speed=.*//')"
  check "3: 0x4C8 resends the mask (channel open)" "$((masks + 1))" "$(emu_requests | grep -c '^mask')"
  option set Acceleration=0 --notify "$SETTINGS_APPLY_ALL" >/dev/null || fail "4: Option.exe set failed"
  check "4: acceleration off clears the thresholds" "double-click=700 swap=1 mouse=0,0,0 wheel=7" \
    "$(agent spi | sed 's/ speed=.*//')"
  masks=$(emu_requests | grep -c '^mask')
  option set DoubleClickSpeed=300 --notify "$SETTINGS_RELOAD_1" >/dev/null || fail "5: Option.exe set failed"
  check "5: 0x4C9 reads only" "double-click=700 swap=1 mouse=0,0,0 wheel=7" \
    "$(agent spi | sed 's/ speed=.*//')"
  option set "ButtonInfo3=04410000" --notify "$SETTINGS_RELOAD_2" >/dev/null || fail "6: Option.exe set failed"
  check "6: 0x4C9 and 0x4CA send no mask" "$masks" "$(emu_requests | grep -c '^mask')"
  rec_mark
  emu "press 4"
  emu "release 4"
  emu "sync"
  check_lines "6: the assignment read by 0x4CA acts on the next press" "$COPY_KEYS" "$(rec_since)"
  option set "ButtonInfo0=01020000" --notify "$SETTINGS_APPLY_MASK_FIRST" >/dev/null || fail "7: Option.exe set failed"
  emu "wait-mask E9FF0000 5000"
  note "7: 0x4CB sends the new mask E9FF0000"
  check "7: 0x4CB applies the system settings" "double-click=300 swap=1 mouse=0,0,0 wheel=7" \
    "$(agent spi | sed 's/ speed=.*//')"
  option set WheelPageScroll=1 --notify "$SETTINGS_APPLY_MASK_FIRST" >/dev/null || fail "8: Option.exe set failed"
  # WHEEL_PAGESCROLL (0xFFFFFFFF), as another process reads it back under Wine:
  # a value set without SPIF_UPDATEINIFILE is kept as text and parsed as a
  # signed long there, which clamps it to 2147483647.
  check "8: page scrolling applied as WHEEL_PAGESCROLL" \
    "double-click=300 swap=1 mouse=0,0,0 wheel=2147483647" \
    "$(agent spi | sed 's/ speed=.*//')"
  check_lines "9: the block keeps what Option.exe wrote" \
"DoubleClickSpeed=300
SwapMouseButtons=1
WheelScrollLines=7
WheelPageScroll=1
Acceleration=0
ButtonInfo0=01020000
ButtonInfo3=04410000" \
    "$(option get DoubleClickSpeed SwapMouseButtons WheelScrollLines WheelPageScroll Acceleration ButtonInfo0 ButtonInfo3)"
  check "10: the acceleration values in the registry are cleared" "0 0 0" \
    "$(for v in MouseSpeed MouseThreshold1 MouseThreshold2; do
         "$WINE" reg query 'HKCU\Control Panel\Mouse' /v "$v" 2>/dev/null | tr -d '\r' |
           awk -v v="$v" '$1 == v { print $3 }'
       done | paste -sd' ')"
  stop_host
}
