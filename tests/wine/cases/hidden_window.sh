# The host's window: hidden, a popup, a tool window and nothing else.
case_hidden_window() {
  setup_app
  start_emulator
  start_host_with_device
  local info style exstyle visible
  info=$(agent "find|$HOST_TITLE")
  say "  $info"
  visible=$(sed -nE 's/.* visible=([0-9]+) .*/\1/p' <<<"$info")
  style=$(sed -nE 's/.* style=([0-9A-F]+) .*/\1/p' <<<"$info")
  exstyle=$(sed -nE 's/.* exstyle=([0-9A-F]+) .*/\1/p' <<<"$info")
  check "1: the window is not visible" 0 "$visible"
  check "2: extended style exactly WS_EX_TOOLWINDOW" 00000080 "$exstyle"
  check "3: WS_POPUP set" 1 $(((0x$style & 0x80000000) != 0))
  check "4: WS_VISIBLE clear" 0 $(((0x$style & 0x10000000) != 0))
  stop_host
}
