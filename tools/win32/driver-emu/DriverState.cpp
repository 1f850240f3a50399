#include "DriverState.h"

#include <string>

namespace hidhost::driver_emu {

bool DriverState::Refusing() const {
  std::lock_guard lock(mutex_);
  return refusing_;
}

void DriverState::Register(ConnectionId connection, SystemHandle semaphore) {
  std::lock_guard lock(mutex_);
  semaphore_ = std::move(semaphore);
  semaphoreOwner_ = connection;
  ++registrations_;
  log_.Write("registered connection=" + std::to_string(connection) +
             " count=" + std::to_string(registrations_));
  for (std::size_t i = 0; i < queue_.size(); ++i) SignalOneWord();
  changed_.notify_all();
}

void DriverState::Unregister(ConnectionId connection) {
  std::lock_guard lock(mutex_);
  if (semaphoreOwner_ != connection || !semaphore_) return;
  semaphore_.Reset();
  semaphoreOwner_ = 0;
  log_.Write("unregistered connection=" + std::to_string(connection));
  changed_.notify_all();
}

std::optional<std::uint32_t> DriverState::PopWord() {
  std::lock_guard lock(mutex_);
  if (queue_.empty()) {
    log_.Write("read none");
    return std::nullopt;
  }
  const std::uint32_t word = queue_.front();
  queue_.pop_front();
  log_.Write("read " + Hex32(word));
  changed_.notify_all();
  return word;
}

void DriverState::RecordMask(std::uint32_t mask) {
  std::lock_guard lock(mutex_);
  lastMask_ = mask;
  log_.Write("mask " + BytesInMemoryOrder(mask));
  changed_.notify_all();
}

void DriverState::QueueWord(std::uint32_t word) {
  std::lock_guard lock(mutex_);
  queue_.push_back(word);
  log_.Write("queued " + Hex32(word));
  if (semaphore_) SignalOneWord();
  changed_.notify_all();
}

void DriverState::SignalOneWord() {
  if (!ReleaseSemaphore(semaphore_.Get(), 1, nullptr)) {
    log_.Write("signal failed error=" + std::to_string(GetLastError()));
  }
}

void DriverState::SetRefusing(bool refusing) {
  std::lock_guard lock(mutex_);
  refusing_ = refusing;
}

std::optional<std::uint32_t> DriverState::LastMask() const {
  std::lock_guard lock(mutex_);
  return lastMask_;
}

int DriverState::Registrations() const {
  std::lock_guard lock(mutex_);
  return registrations_;
}

bool DriverState::WaitRegistrations(int atLeast, Milliseconds timeout) {
  return WaitFor(timeout, [&] { return registrations_ >= atLeast; });
}

bool DriverState::WaitDrained(Milliseconds timeout) {
  return WaitFor(timeout, [&] { return queue_.empty(); });
}

bool DriverState::WaitMask(std::uint32_t mask, Milliseconds timeout) {
  return WaitFor(timeout, [&] { return lastMask_ == mask; });
}

}  // namespace hidhost::driver_emu
