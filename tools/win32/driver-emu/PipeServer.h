// The device's side of the channel: a message-mode named pipe on which each
// request of the host gets exactly one response. Every connection is served
// on its own thread, so a host that closes its channel and opens it again (or
// opens it twice) is served like the first time.
#pragma once

#include <cstdint>

#include "DriverState.h"
#include "EventLog.h"
#include "OwnedHandle.h"
#include "platform/win32/EmulatedDriverProtocol.h"

namespace hidhost::driver_emu {

// The device's I/O control codes.
inline constexpr std::uint32_t kIoctlRegister = 0x222400;
inline constexpr std::uint32_t kIoctlUnregister = 0x222404;
inline constexpr std::uint32_t kIoctlReadEvent = 0x222408;
inline constexpr std::uint32_t kIoctlPassThroughMask = 0x222420;

class PipeServer {
 public:
  PipeServer(DriverState& driver, EventLog& log) : driver_(driver), log_(log) {}

  // Creates the first pipe instance, so that a host started right after this
  // returns finds the device. False when the pipe cannot be created.
  bool Listen();
  // Accepts connections for ever; run on a thread of its own.
  void AcceptForever();

 private:
  void Serve(OwnedHandle pipe, ConnectionId connection);
  emulated_driver::Response Answer(const emulated_driver::Request& request, HANDLE pipe,
                                   ConnectionId connection);
  bool Register(const emulated_driver::Request& request, HANDLE pipe, ConnectionId connection);

  DriverState& driver_;
  EventLog& log_;
  OwnedHandle listening_;
  ConnectionId nextConnection_ = 1;
};

}  // namespace hidhost::driver_emu
