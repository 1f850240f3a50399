// The device's side of the channel: a message-mode named pipe on which each
// request of the host gets exactly one response. Every connection is served
// on its own thread, so a host that closes its channel and opens it again (or
// opens it twice) is served like the first time.
#pragma once

#include <cstdint>

#include "DriverState.h"
#include "EventLog.h"
#include "platform/win32/EmulatedDriverProtocol.h"
#include "platform/win32/Win32Resources.h"

namespace hidhost::driver_emu {

class PipeServer {
 public:
  PipeServer(DriverState& driver, EventLog& log) : driver_(driver), log_(log) {}

  // Creates the first pipe instance, so that a host started right after this
  // returns finds the device. False when the pipe cannot be created.
  bool Listen();
  // Accepts connections for ever; run on a thread of its own.
  void AcceptForever();

 private:
  void Serve(SystemHandle pipe, ConnectionId connection);
  emulated_driver::Response Answer(const emulated_driver::Request& request, HANDLE pipe,
                                   ConnectionId connection);
  bool Register(const emulated_driver::Request& request, HANDLE pipe, ConnectionId connection);

  DriverState& driver_;
  EventLog& log_;
  SystemHandle listening_;
  ConnectionId nextConnection_ = 1;
};

}  // namespace hidhost::driver_emu
