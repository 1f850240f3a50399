// The mouse's filter driver as the host sees it through its control device:
// present or not, the event words it has queued, the semaphore registered
// with it and the last pass-through mask. Holds no lock; the world's lock
// guards it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string_view>

#include "contracts/DriverProtocol.h"
#include "platform/sim/KernelObjects.h"

namespace hidhost::sim {

enum class DriverMode { Absent, Present, Refuses };

class DriverModel {
 public:
  DriverModel();

  DriverMode Mode() const { return mode_; }
  void SetMode(DriverMode mode) { mode_ = mode; }

  bool Opens(std::string_view deviceName) const;
  void Opened() { ++openHandles_; }
  // The last handle's close ends the registration, as the driver's cleanup would.
  void Closed();
  bool IsOpen() const { return openHandles_ > 0; }

  // The driver queues words only for a registered client, and raises its
  // semaphore once per word; false when the word went nowhere.
  bool Queue(std::uint32_t word);

  bool Register(std::shared_ptr<KernelObject> semaphore);
  void Unregister() { registered_.reset(); }
  bool IsRegistered() const { return registered_ != nullptr; }
  bool ReadEvent(std::uint32_t& word);
  void SetMask(std::uint32_t mask) { lastMask_ = mask; }

  // While held, an event read waits on the gate, as on a driver that does
  // not complete the request; releasing the hold lets every waiting read go on.
  void HoldReads(bool held) { readGate_->set = !held; }
  const std::shared_ptr<KernelObject>& ReadGate() const { return readGate_; }
  std::optional<std::uint32_t> LastMask() const { return lastMask_; }

 private:
  DriverMode mode_ = DriverMode::Absent;
  int openHandles_ = 0;
  std::deque<std::uint32_t> queue_;
  std::shared_ptr<KernelObject> registered_;
  std::optional<std::uint32_t> lastMask_;
  std::shared_ptr<KernelObject> readGate_;  // a manual-reset event, set while reads flow
};

}  // namespace hidhost::sim
