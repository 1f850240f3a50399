// The emulator's script: one command per line, from the command line or from
// standard input. The commands are what a hand on the mouse and a kernel
// driver would do (press, tilt, unplug), plus waits that let a test runner
// know when the host has caught up.
//
//   word HEX                 queue a raw event word (32-bit value in hex)
//   press N | release N      button N (1..8) goes down or up; the other buttons stay
//   tilt left | tilt right   one tilt word (tilt byte 0xFF or 0x01)
//   arrive | remove          one word with device state 4 or 8
//   refuse on|off            fail (or accept again) registration requests
//   mask                     print the last pass-through mask, bytes in memory order
//   wait-registered [N] [MS] wait until N registrations have been accepted (default 1)
//   wait-mask BYTES [MS]     wait until the last mask received is BYTES (memory order)
//   wait-drained [MS]        wait until the host has read every queued word
//   sync [MS]                queue a word that changes nothing and wait until it is read:
//                            everything the earlier words caused has then been done
//   sleep MS                 hold still (a button kept down)
//   echo TEXT                print TEXT
//   quit                     end; the exit code is the number of commands that failed
#pragma once

#include <cstdint>
#include <string_view>

#include "DriverState.h"
#include "EventLog.h"

namespace hidhost::driver_emu {

class Script {
 public:
  Script(DriverState& driver, EventLog& log) : driver_(driver), log_(log) {}

  enum class Next { Continue, Quit };
  Next Run(std::string_view line);
  int Failures() const { return failures_; }

 private:
  void Fail(std::string_view what);
  void QueueWithButtons(std::uint32_t upperBytes);

  DriverState& driver_;
  EventLog& log_;
  std::uint8_t buttons_ = 0;  // the buttons held down, as the next word will report them
  int failures_ = 0;

  friend struct ScriptCommands;
};

}  // namespace hidhost::driver_emu
