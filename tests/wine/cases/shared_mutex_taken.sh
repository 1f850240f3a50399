# A configuration program that made the shared block's mutex first keeps the
# host from starting: the host must end rather than run on without a window
# and with its instance mutex held.
case_shared_mutex_taken() {
  setup_app
  start_emulator
  start_targets --hold-mutex "$SHARED_MUTEX"
  start_host
  wait_exit host 30
  check "1: the refused host ends with exit code 0" 0 $?
  check "2: no window, no instance mutex left" \
    "window \"$HOST_TITLE\" absent|mutex $INSTANCE_MUTEX absent" \
    "$(agent "find|$HOST_TITLE" "mutex|$INSTANCE_MUTEX" | paste -sd'|')"
  agent "signal|HidHostWineTargetsStop" >/dev/null
  wait_exit targets 10
  start_host_with_device
  note "3: once the mutex is gone the host starts"
  stop_host
}
