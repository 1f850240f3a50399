# The emulator on its own, against a client that plays the host (no host runs:
# there is no session to record).
RECORDS_SESSION=""
case_emulator() {
  start_emulator
  emu "press 4"
  emu "release 4"
  local client
  client=$(win "$BIN/wine-driver-client.exe" open count "wait-read|2" read "mask|0xFFE0")
  check_lines "1: words queued before registration are signalled on it, in order" \
"open ok
pending 2
word 00000008
word 00000000
read failed
mask ok" "$client"
  wait_for_lines "$LOGS/emu.log" ' disconnected connection=1$' 10 || fail "2: an ended client stays connected"
  emu mask
  check "2: the mask is kept, bytes in memory order" "last-mask E0FF0000" \
    "$(lines_of "$LOGS/emu.log" | grep '^last-mask' | tail -n 1)"
  emu "tilt left"
  emu "arrive"
  client=$(win "$BIN/wine-driver-client.exe" open "wait-read|2" drop)
  wait_for_lines "$LOGS/emu.log" ' disconnected connection=2$' 10 || fail "3: a dropped client stays connected"
  client+=$'\n'$(win "$BIN/wine-driver-client.exe" open read close)
  check_lines "3: a client that drops its handle and comes back is served again" \
"open ok
word 00FF0000
word 00000400
open ok
read failed" "$client"
  emu "refuse on"
  client=$(win "$BIN/wine-driver-client.exe" open)
  check "4: registration refused on request" "open refused" "$client"
  emu "refuse off"
  emu "press 2"
  emu "remove"
  client=$(win "$BIN/wine-driver-client.exe" open "wait-read|2" close)
  check_lines "5: buttons kept across words; removal word" \
"open ok
word 00000002
word 00000802" "$client"
  wait_disconnects 5
  check_lines "6: requests seen by the emulator" \
"connected
registered #1
read 00000008
read 00000000
read none
mask E0FF0000
unregistered
disconnected
connected
registered #2
read 00FF0000
read 00000400
unregistered
disconnected
connected
registered #3
read none
mask 00000000
close
unregistered
disconnected
connected
register refused
disconnected
connected
registered #4
read 00000002
read 00000802
mask 00000000
close
unregistered
disconnected" "$(emu_requests)"
}
