# WM_CLOSE: the host closes its peers' windows and the channel, then leaves nothing behind.
case_teardown() {
  setup_app
  start_emulator
  start_option_window
  start_targets --osd
  start_host_with_device
  wait_for_lines "$LOGS/option.log" " notice $DEVICE_READY_NOTICE " 10 || fail "Option.exe got no device-ready notice"
  stop_host
  # The host waits for its event thread instead of sleeping a fixed second;
  # without a window manager Wine itself spends 2 s withdrawing the tray icon.
  [ "${HOST_TEARDOWN_MS:-0}" -lt 5000 ] || fail "tear-down took ${HOST_TEARDOWN_MS} ms"
  note "tear-down took ${HOST_TEARDOWN_MS} ms"
  wait_exit option 10
  check "Option.exe exit code after the host's WM_CLOSE" 0 $?
  local option_close osd_close channel_close
  option_close=$(grep ' close ' "$LOGS/option.log" | head -n 1 | cut -d' ' -f1)
  osd_close=$(grep ' osd close$' "$LOGS/targets.log" | head -n 1 | cut -d' ' -f1)
  channel_close=$(grep ' mask 00000000$' "$LOGS/emu.log" | head -n 1 | cut -d' ' -f1)
  [ -n "$option_close" ] || fail "the configuration program's window got no WM_CLOSE"
  [ -n "$osd_close" ] || fail "the on-screen display got no WM_CLOSE"
  [ -n "$channel_close" ] || fail "the channel was not closed (no mask 0)"
  # The host posts both WM_CLOSE messages before it closes the channel (the
  # simulator's traces prove the order); when each peer handles its message
  # depends on the scheduler, now that the host no longer sleeps a second.
  note "WM_CLOSE reached both windows; the channel was closed"
  wait_disconnects 1
  check_lines "requests of the whole run" \
"connected
registered #1
mask E0FF0000
mask 00000000
close
unregistered
disconnected" "$(emu_requests)"
  check "after exit: tray icons, window, instance mutex" \
    "tray icons=0|window \"$HOST_TITLE\" absent|mutex $INSTANCE_MUTEX absent" \
    "$(agent tray "find|$HOST_TITLE" "mutex|$INSTANCE_MUTEX" | paste -sd'|')"
}
