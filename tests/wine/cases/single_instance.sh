# A second copy finds the first and ends, touching nothing.
case_single_instance() {
  setup_app
  start_emulator
  start_option_window
  start_host_with_device
  wait_for_lines "$LOGS/option.log" " notice $DEVICE_READY_NOTICE " 10 || fail "Option.exe got no device-ready notice"
  local before after rc
  before=$(md5sum <"$APP/config.ini")
  timeout 60 "$WINE" "$APP/HidHost.exe" >"$LOGS/second.out" 2>&1
  rc=$?
  check "second copy exit code" 0 "$rc"
  check "top-level windows titled $HOST_TITLE" "count \"$HOST_TITLE\" 1" \
    "$(agent "count|$HOST_TITLE")"
  after=$(md5sum <"$APP/config.ini")
  check "config.ini untouched by the second copy" "$before" "$after"
  check "the second copy did not open the device" 1 \
    "$(emu_requests | grep -c '^connected')"
  check "the second copy posted nothing to Option.exe" "1 notice, no close" \
    "$(grep -c ' notice ' "$LOGS/option.log") notice, $(grep -q ' close ' "$LOGS/option.log" && echo close || echo no close)"
  kill -0 "${PIDS[host]}" 2>/dev/null || fail "the first host ended"
  note "the first host still runs"
  stop_host
}
