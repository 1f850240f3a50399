#include "device/DriverChannel.h"

#include "device/PassThroughMask.h"
#include "platform/Constants.h"

namespace hidhost::device {

using platform::Handle;

DriverChannel::DriverChannel(platform::Platform& platform, const settings::LiveSettings& settings)
    : platform_(platform), settings_(settings) {}

DriverChannel::~DriverChannel() {
  Close();
}

bool DriverChannel::Request(std::uint32_t code, const void* in, std::uint32_t inSize, void* out,
                            std::uint32_t outSize) {
  return platform_.driver.IoControl(device_.Get(), code, in, inSize, out, outSize);
}

bool DriverChannel::Open() {
  std::lock_guard lock(guard_);
  const Handle device = platform_.driver.Open(contracts::kDeviceName,
                                              platform::kGenericRead | platform::kGenericWrite,
                                              platform::kFileShareRead, platform::kOpenExisting);
  if (!platform::IsSet(device)) return false;
  device_.Reset(platform_.driver, device);

  // The driver takes the handle value as this process knows it; handles fit in 32 bits.
  const auto semaphore = static_cast<std::uint32_t>(platform::ValueOf(semaphore_));
  if (!Request(contracts::kIoctlRegisterSemaphore, &semaphore, sizeof semaphore, nullptr, 0)) {
    device_.Reset();
    return false;
  }
  openDevice_.store(device, std::memory_order_seq_cst);
  return true;
}

void DriverChannel::Close() {
  std::lock_guard lock(guard_);
  if (!device_) return;
  openDevice_.store(Handle::None, std::memory_order_seq_cst);
  const std::uint32_t passEverything = 0;
  Request(contracts::kIoctlSetPassThroughMask, &passEverything, sizeof passEverything, nullptr, 0);
  Request(contracts::kIoctlUnregister, nullptr, 0, nullptr, 0);
  device_.Reset();
}

bool DriverChannel::SendPassThroughMask() {
  std::lock_guard lock(guard_);
  if (!device_) return false;
  const std::uint32_t mask = ComputePassThroughMask(settings_);
  Request(contracts::kIoctlSetPassThroughMask, &mask, sizeof mask, nullptr, 0);
  return true;
}

void DriverChannel::PassEverythingAfterCrash(platform::DriverDevice& direct) const noexcept {
  const Handle device = openDevice_.load(std::memory_order_seq_cst);
  if (!platform::IsSet(device)) return;
  const std::uint32_t passEverything = 0;
  direct.IoControl(device, contracts::kIoctlSetPassThroughMask, &passEverything,
                   sizeof passEverything, nullptr, 0);
}

bool DriverChannel::IsOpen() const {
  std::lock_guard lock(guard_);
  return static_cast<bool>(device_);
}

DriverChannel::ReadResult DriverChannel::ReadEvent(std::uint32_t& word) {
  std::lock_guard lock(guard_);
  if (!device_) return ReadResult::Closed;
  if (!Request(contracts::kIoctlReadEvent, &readBuffer_, sizeof readBuffer_, &readBuffer_,
               sizeof readBuffer_)) {
    return ReadResult::Failed;
  }
  word = readBuffer_;
  return ReadResult::Event;
}

}  // namespace hidhost::device
