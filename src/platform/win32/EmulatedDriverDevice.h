// The driver's stand-in for systems where no kernel driver can be loaded
// (Wine): the same requests and buffers, carried over the emulator's pipe.
#pragma once

#include <mutex>

#include "platform/Platform.h"

namespace hidhost::platform::win32 {

class EmulatedDriverDevice final : public DriverDevice {
 public:
  // Connects to the emulator's pipe, whatever the device name; None when no
  // emulator is listening, as for an absent device.
  Handle Open(std::string_view name, std::uint32_t access, std::uint32_t share,
              std::uint32_t disposition) override;
  bool IoControl(Handle device, std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                 std::uint32_t outSize) override;
  bool Close(Handle device) override;

 private:
  // The window thread and the event thread both send requests. A device
  // serves them one at a time; a pipe would interleave the two threads'
  // writes and reads, so each round trip holds this lock. A thread that
  // crashed inside a round trip never lets go of it, and the crash handler's
  // own request must not wait for it for ever: a round trip takes well under
  // a millisecond, so one that cannot have the lock within the bound fails.
  std::timed_mutex roundTrip_;
};

}  // namespace hidhost::platform::win32
