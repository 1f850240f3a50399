// What the kernel driver keeps between requests: the queue of event words,
// the semaphore the host registered, and the last pass-through mask. The pipe
// threads and the script thread meet here, so every member is guarded by one
// mutex and every change wakes the script's waits.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "EventLog.h"
#include "platform/win32/Win32Resources.h"

namespace hidhost::driver_emu {

using platform::win32::OwnHandle;
using platform::win32::SystemHandle;

using ConnectionId = std::uint32_t;
using Milliseconds = std::chrono::milliseconds;

class DriverState {
 public:
  explicit DriverState(EventLog& log) : log_(log) {}

  // Pipe side (one call per request).
  bool Refusing() const;
  // Takes the duplicated semaphore; words queued before are signalled at once.
  void Register(ConnectionId connection, SystemHandle semaphore);
  // The connection's semaphore is forgotten; queued words wait for the next one.
  void Unregister(ConnectionId connection);
  std::optional<std::uint32_t> PopWord();
  void RecordMask(std::uint32_t mask);

  // Script side.
  void QueueWord(std::uint32_t word);
  void SetRefusing(bool refusing);
  std::optional<std::uint32_t> LastMask() const;
  int Registrations() const;
  bool WaitRegistrations(int atLeast, Milliseconds timeout);
  bool WaitDrained(Milliseconds timeout);
  bool WaitMask(std::uint32_t mask, Milliseconds timeout);

 private:
  template <typename Predicate>
  bool WaitFor(Milliseconds timeout, Predicate done) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, done);
  }
  void SignalOneWord();  // mutex held

  EventLog& log_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::uint32_t> queue_;
  SystemHandle semaphore_;
  ConnectionId semaphoreOwner_ = 0;
  std::optional<std::uint32_t> lastMask_;
  int registrations_ = 0;
  bool refusing_ = false;
};

}  // namespace hidhost::driver_emu
