# Events queued while the host waits out an arrival are all read, in order,
# and the next press is read at once: no count is lost to the semaphore's ceiling.
case_queued_events() {
  setup_app
  start_emulator
  start_host_with_device
  emu "arrive"
  # 150 presses and releases of button 3 while the event thread sleeps its 8 s.
  emu "$(repeat_lines 150 'press 3' 'release 3')"
  emu "wait-drained 30000"
  ! grep -q ' signal failed ' "$LOGS/emu.log" ||
    fail "the driver could not signal: $(grep ' signal failed ' "$LOGS/emu.log" | head -n 1 | cut -d' ' -f2-)"
  check_lines "the words after the arrival, in order" \
    "$(repeat_lines 150 'read 00000004' 'read 00000000')" \
    "$(emu_requests | sed -n '/^read 00000400$/,$p' | grep '^read ' | tail -n +2)"
  # One behind, the host would read this press only once another event came.
  emu "press 4"
  emu "wait-drained 2000"
  check "the next press is read at once" "read 00000008" "$(emu_requests | grep '^read ' | tail -n 1)"
  stop_host
}
