// The thread that sleeps on the driver's semaphore and handles one event
// word per count, on its own stack, until the host quits.
#pragma once

#include <atomic>
#include <cstdint>

#include "device/DriverChannel.h"
#include "device/EventDecoder.h"
#include "platform/Platform.h"

namespace hidhost::device {

struct EventThreadContext {
  platform::Kernel& kernel;
  DriverChannel& channel;
  EventDecoder& decoder;
  platform::Handle semaphore;
  // Set by the window thread at tear-down (manual reset), so that the thread
  // wakes even when the semaphore cannot be released.
  platform::Handle quitEvent;
  // Set once by the window thread at tear-down, before it sets the quit event.
  const std::atomic<bool>& quit;
  // Set by the thread as it leaves; from then on it uses nothing of the host's.
  std::atomic<bool> left{false};
};

// Thread entry; the parameter is an EventThreadContext. Returns 0.
std::uint32_t EventThreadMain(void* context);

}  // namespace hidhost::device
