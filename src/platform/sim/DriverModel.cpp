#include "platform/sim/DriverModel.h"

#include "platform/sim/RegistryStore.h"

namespace hidhost::sim {

DriverModel::DriverModel() : readGate_(std::make_shared<KernelObject>(ObjectKind::Event)) {
  readGate_->manualReset = true;
  readGate_->set = true;
}

bool DriverModel::Opens(std::string_view deviceName) const {
  return mode_ != DriverMode::Absent && Lowercase(deviceName) == Lowercase(contracts::kDeviceName);
}

void DriverModel::Closed() {
  if (openHandles_ > 0 && --openHandles_ == 0) {
    registered_.reset();
    queue_.clear();
  }
}

bool DriverModel::Queue(std::uint32_t word) {
  if (mode_ == DriverMode::Absent || registered_ == nullptr) return false;
  queue_.push_back(word);
  if (registered_->count < registered_->maximum) ++registered_->count;
  return true;
}

bool DriverModel::Register(std::shared_ptr<KernelObject> semaphore) {
  if (mode_ != DriverMode::Present || semaphore == nullptr ||
      semaphore->kind != ObjectKind::Semaphore) {
    return false;
  }
  registered_ = std::move(semaphore);
  return true;
}

bool DriverModel::ReadEvent(std::uint32_t& word) {
  if (mode_ == DriverMode::Absent || queue_.empty()) return false;
  word = queue_.front();
  queue_.pop_front();
  return true;
}

}  // namespace hidhost::sim
